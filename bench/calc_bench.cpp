// The calculation's hot spots beside their naive peers from the C library, in one run:
//   number_from_text  vs strtod in the C locale (on the ASCII text the user meant)
//   format_number(x, 1, false) vs snprintf("%.13g")
//   run_calculation through a form that only hands out fixed texts
#include <benchmark/benchmark.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/control_names.h"
#include "calc/density.h"
#include "calc/format_number.h"
#include "calc/read_number.h"
#include "calc/run_calculation.h"

namespace {

using namespace densilo::calc;

struct TypedText {
  std::string_view label;
  std::string_view text;   // as typed
  std::string_view ascii;  // what strtod is given: the same number in ASCII
};

constexpr std::array<TypedText, 4> kTypedTexts = {{
    {"23.8", "23.8", "23.8"},
    {"1920", "1920", "1920"},
    {"fullwidth 23.8", "２３．８", "23.8"},
    {"24 with unit", "24寸", "24寸"},
}};

void BM_number_from_text(benchmark::State& state) {
  const auto& typed = kTypedTexts[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(std::string(typed.label));
  for (auto _ : state) {
    std::string_view text = typed.text;
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(number_from_text(text));
  }
}
BENCHMARK(BM_number_from_text)->DenseRange(0, 3);

void BM_strtod(benchmark::State& state) {
  const auto& typed = kTypedTexts[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(std::string(typed.label));
  const std::string text(typed.ascii);
  for (auto _ : state) {
    const char* p = text.c_str();
    benchmark::DoNotOptimize(p);
    benchmark::DoNotOptimize(std::strtod(p, nullptr));
  }
}
BENCHMARK(BM_strtod)->DenseRange(0, 3);

// Densities as the screens people measure give them.
const std::array<double, 6> kDensities = {
    compute_ppi(1920, 1080, 23.8), compute_ppi(1366, 768, 14.0),  compute_ppi(2560, 1440, 27.0),
    compute_ppi(1920, 1080, 5.5),  compute_ppi(3840, 2160, 15.6), compute_ppi(1, 1, 1.0),
};

void BM_format_number(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    double value = kDensities[i++ % kDensities.size()];
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(format_number(value, 1, false));
  }
}
BENCHMARK(BM_format_number);

void BM_snprintf_13g(benchmark::State& state) {
  std::size_t i = 0;
  std::array<char, 200> text{};
  for (auto _ : state) {
    double value = kDensities[i++ % kDensities.size()];
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(std::snprintf(text.data(), text.size(), "%.13g", value));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_snprintf_13g);

// A form that hands out the same three texts and keeps the last text written.
class FixedForm final : public FormAccess {
 public:
  std::string read_text(std::string_view name) override {
    if (name == names::kEditBox1)
      return "23.8";
    if (name == names::kEditBox2)
      return "1920";
    return "1080";
  }
  void write_text(std::string_view, std::string_view text) override { result_.assign(text); }
  void set_visible(std::string_view, bool visible) override { visible_ = visible; }

  const std::string& result() const { return result_; }

 private:
  std::string result_;
  bool visible_ = false;
};

void BM_run_calculation(benchmark::State& state) {
  FixedForm form;
  for (auto _ : state) {
    run_calculation(form);
    benchmark::DoNotOptimize(form.result().data());
  }
}
BENCHMARK(BM_run_calculation);

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");  // strtod's peer reading uses "." whatever the machine says
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
