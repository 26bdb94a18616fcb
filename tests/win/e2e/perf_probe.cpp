// Measures densilo.exe against the floor program, both started as separate processes:
//   perf_probe DENSILO.EXE FLOOR.EXE [RUNS] [IDLE_SECONDS]
// Start-up is the time from CreateProcess until the window's painting shows on the screen: the
// probe watches the screen's centre, where both programs' client areas lie, until its pixel
// changes from the desktop's. Peak working set and CPU time come from the process handle, so the
// programs carry no measuring code of their own. One warm-up run of each is not counted.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"

namespace {

struct Sample {
  double startup_ms = 0;
  double peak_working_set_mb = 0;
  double idle_cpu_ms = 0;
  DWORD exit_code = 0;
};

double now_ms() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double cpu_ms(HANDLE process) {
  FILETIME created;
  FILETIME exited;
  FILETIME kernel;
  FILETIME user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

Sample measure(const std::wstring& exe, DWORD idle_seconds) {
  Sample sample;
  HDC screen = GetDC(nullptr);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  // The desktop where the window will appear, once the last run's window has gone from it.
  Sleep(300);
  const COLORREF desktop = GetPixel(screen, x, y);
  const double start = now_ms();
  densilo::e2e::Process process(exe, [&] {
    // Polled every millisecond from the start, so the time is the first paint's, not the
    // moment the program settles.
    while (GetPixel(screen, x, y) == desktop && now_ms() - start < 20000) {
      Sleep(1);
    }
    sample.startup_ms = now_ms() - start;
  });
  ReleaseDC(nullptr, screen);

  const double cpu_before = cpu_ms(process.handle());
  Sleep(idle_seconds * 1000);
  sample.idle_cpu_ms = cpu_ms(process.handle()) - cpu_before;

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(process.handle(), &memory, sizeof(memory));
  sample.peak_working_set_mb = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);

  PostMessageW(process.window(), WM_CLOSE, 0, 0);
  sample.exit_code = process.wait_exit().value_or(0xDEADu);
  return sample;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
  double startup_ms;
  double peak_working_set_mb;
  double idle_cpu_ms;
};

Figures medians(const std::vector<Sample>& samples) {
  std::vector<double> startup;
  std::vector<double> memory;
  std::vector<double> cpu;
  for (const Sample& s : samples) {
    startup.push_back(s.startup_ms);
    memory.push_back(s.peak_working_set_mb);
    cpu.push_back(s.idle_cpu_ms);
  }
  return {median(startup), median(memory), median(cpu)};
}

double file_size_mb(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    return -1;
  }
  return static_cast<double>(static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) /
         (1024.0 * 1024.0);
}

const char* verdict(bool ok) {
  return ok ? "met" : "MISSED";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: perf_probe DENSILO.EXE FLOOR.EXE [RUNS] [IDLE_SECONDS]\n");
    return 2;
  }
  const std::wstring densilo = densilo::e2e::windows_path(argv[1]);
  const std::wstring floor = densilo::e2e::windows_path(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  const DWORD idle = argc > 4 ? static_cast<DWORD>(std::max(1, std::atoi(argv[4]))) : 10;

  measure(floor, 1);
  measure(densilo, 1);
  std::vector<Sample> floor_samples;
  std::vector<Sample> densilo_samples;
  bool clean_exits = true;
  for (int i = 0; i < runs; ++i) {
    // Alternating keeps a slow phase of the machine from landing on one program only.
    floor_samples.push_back(measure(floor, idle));
    densilo_samples.push_back(measure(densilo, idle));
    clean_exits =
        clean_exits && floor_samples.back().exit_code == 0 && densilo_samples.back().exit_code == 0;
    std::printf("run %d: floor %.1f ms %.2f MB %.1f ms cpu | densilo %.1f ms %.2f MB %.1f ms cpu\n",
                i + 1, floor_samples.back().startup_ms, floor_samples.back().peak_working_set_mb,
                floor_samples.back().idle_cpu_ms, densilo_samples.back().startup_ms,
                densilo_samples.back().peak_working_set_mb, densilo_samples.back().idle_cpu_ms);
  }
  const Figures f = medians(floor_samples);
  const Figures d = medians(densilo_samples);
  const double size = file_size_mb(densilo);
  const double ratio = d.startup_ms / f.startup_ms;
  const double extra = d.peak_working_set_mb - f.peak_working_set_mb;
  const double cpu_per_10s = d.idle_cpu_ms * 10.0 / idle;

  std::printf("\nmedians of %d runs, idle %lu s        floor     densilo   goal\n", runs,
              static_cast<unsigned long>(idle));
  std::printf("start to first paint (ms)      %8.1f  %8.1f   ratio %.2f <= 1.20: %s\n",
              f.startup_ms, d.startup_ms, ratio, verdict(ratio <= 1.2));
  std::printf("peak working set (MB)          %8.2f  %8.2f   +%.2f <= 8: %s\n",
              f.peak_working_set_mb, d.peak_working_set_mb, extra, verdict(extra <= 8.0));
  std::printf("idle CPU (ms per 10 s)         %8.1f  %8.1f   < 20: %s\n",
              f.idle_cpu_ms * 10.0 / idle, cpu_per_10s, verdict(cpu_per_10s < 20.0));
  std::printf("densilo.exe size (MB)                    %8.3f   < 1.5: %s\n", size,
              verdict(size < 1.5));
  std::printf("every run closed with exit code 0: %s\n", clean_exits ? "yes" : "NO");
  std::fflush(stdout);
  return 0;
}
