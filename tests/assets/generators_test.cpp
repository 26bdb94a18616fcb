// The committed assets are exactly what the generators in tools/ make: a change to a
// generator without rerunning it (or a hand-edited asset) fails here.

#include <gtest/gtest.h>

#include <string>

#include "asset_files.h"
#include "assetgen.h"

namespace densilo::asset_test {
namespace {

TEST(Generators, ReproduceEveryCommittedAssetByteForByte) {
  for (const auto& asset : assetgen::kAssets) {
    const std::string name(asset.file_name);
    SCOPED_TRACE(name);
    const Bytes committed = read_asset(name);
    const Bytes made = asset.make();
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.size(), committed.size());
    EXPECT_TRUE(made == committed) << "rerun tools/make-assets.sh and commit assets/";
  }
}

TEST(Generators, GiveTheSameBytesOnEveryRun) {
  for (const auto& asset : assetgen::kAssets) {
    SCOPED_TRACE(std::string(asset.file_name));
    EXPECT_TRUE(asset.make() == asset.make());
  }
}

}  // namespace
}  // namespace densilo::asset_test
