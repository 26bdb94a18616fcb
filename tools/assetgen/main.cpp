// densilo-assetgen OUT_DIR [FILE...]: writes the named assets (all four by default) into
// OUT_DIR. Rerun it after changing a generator and commit the files it writes.

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "assetgen.h"

namespace {

bool write_file(const std::string& path, const densilo::assetgen::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR [FILE...]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  int status = 0;
  for (const auto& asset : densilo::assetgen::kAssets) {
    bool wanted = argc == 2;
    for (int i = 2; i < argc; ++i)
      wanted = wanted || asset.file_name == std::string_view(argv[i]);
    if (!wanted)
      continue;
    const auto bytes = asset.make();
    const std::string path = dir + "/" + std::string(asset.file_name);
    if (bytes.empty() || !write_file(path, bytes)) {
      std::fprintf(stderr, "densilo-assetgen: could not make %s\n", path.c_str());
      status = 1;
      continue;
    }
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
  }
  return status;
}
