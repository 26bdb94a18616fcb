#include "calc/run_calculation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/control_names.h"

namespace densilo::calc {
namespace {

// A form that holds texts by control name and records every call in order.
class RecordingForm final : public FormAccess {
 public:
  RecordingForm(std::string diagonal, std::string width, std::string height) {
    texts_[std::string(names::kEditBox1)] = std::move(diagonal);
    texts_[std::string(names::kEditBox2)] = std::move(width);
    texts_[std::string(names::kEditBox3)] = std::move(height);
  }

  std::string read_text(std::string_view name) override {
    calls.push_back("read " + std::string(name));
    return texts_[std::string(name)];
  }
  void write_text(std::string_view name, std::string_view text) override {
    calls.push_back("write " + std::string(name) + " " + std::string(text));
    texts_[std::string(name)] = std::string(text);
  }
  void set_visible(std::string_view name, bool visible) override {
    calls.push_back((visible ? "show " : "hide ") + std::string(name));
  }

  std::string text(std::string_view name) { return texts_[std::string(name)]; }

  std::vector<std::string> calls;

 private:
  std::map<std::string, std::string> texts_;
};

TEST(RunCalculation, ReadsWritesAndShowsInOrder) {
  RecordingForm form("23.8", "1920", "1080");
  run_calculation(form);
  const std::vector<std::string> expected = {
      "read 编辑框2",   "read 编辑框3", "read 编辑框1",     "write 编辑框4 92.6",
      "show 透明标签4", "show 编辑框4", "show 超级链接框1",
  };
  EXPECT_EQ(form.calls, expected);
}

TEST(RunCalculation, TwoClicksGiveTheSameTextAndKeepTheResultShown) {
  RecordingForm form("24寸", "1920", "1080");
  run_calculation(form);
  const std::vector<std::string> first = form.calls;
  form.calls.clear();
  run_calculation(form);
  EXPECT_EQ(form.calls, first);
  EXPECT_EQ(form.text(names::kEditBox4), "91.8");
  // The input boxes keep what the user typed.
  EXPECT_EQ(form.text(names::kEditBox1), "24寸");
}

struct Click {
  std::string diagonal;
  std::string width;
  std::string height;
  std::string shown;
};

void PrintTo(const Click& c, std::ostream* os) {
  *os << '"' << c.diagonal << "\", \"" << c.width << "\", \"" << c.height << '"';
}

// Diagonal, width and height as typed, and the text the result box shows.
const std::vector<Click> kClicks = {
    {"23.8", "1920", "1080", "92.6"},
    {"14", "1366", "768", "111.9"},
    {"27", "2560", "1440", "108.8"},
    {"5.5", "1920", "1080", "400.5"},
    {"1", "1", "1", "1.4"},
    {"２３．８", "１９２０", "１０８０", "92.6"},
    {"24寸", "1920", "1080", "91.8"},
    {"24", "1,920", "1080", "45.0"},
    {"23。8", "1920", "1080", "95.8"},
    {"", "", "", "-1.#IND"},
    {"23.8", "1920", "", "-1.#IND"},
    {"23.8", "1920", "0", "-1.#IND"},
    {"23.8", "1920", "abc", "-1.#IND"},
    {"", "1920", "1080", "1.#INF"},
    {"0", "1920", "1080", "1.#INF"},
    {"abc", "1920", "1080", "1.#INF"},
    {"", "1920", "-1080", "-1.#INF"},
    {"0", "1920", "-1080", "-1.#INF"},
    {"-23.8", "1920", "1080", "92.6"},
    {"23.8", "-1920", "1080", "92.6"},
    {"23.8", "1920", "-1080", "-92.6"},
    {"23.8", "1920.9", "1080.9", "92.6"},
    {"23.8", "0", "1080", "45.4"},
    {"23.8", "4294967296", "1080", "45.4"},
    {"23.8", "1e20", "1080", "45.4"},
    {"23.8", "3000000000", "1080", "54410390.6"},
    {"1e999", "1920", "1080", "0.0"},
    {"1e200", "1920", "1080", "0.0"},
    {"1e-200", "1920", "1080", "1.#INF"},
    {"1e999", "1920", "-1080", "0.0"},
    {"1e999", "0", "0", "-1.#IND"},
    {"  23.8 inches", " 1920px", "\t1080", "92.6"},
};

class Clicks : public ::testing::TestWithParam<Click> {};

TEST_P(Clicks, ShowTheExpectedText) {
  const Click& c = GetParam();
  RecordingForm form(c.diagonal, c.width, c.height);
  run_calculation(form);
  EXPECT_EQ(form.text(names::kEditBox4), c.shown);
  ASSERT_EQ(form.calls.size(), 7u);
  EXPECT_EQ(form.calls[4], "show 透明标签4");
  EXPECT_EQ(form.calls[5], "show 编辑框4");
  EXPECT_EQ(form.calls[6], "show 超级链接框1");
}

INSTANTIATE_TEST_SUITE_P(Table, Clicks, ::testing::ValuesIn(kClicks));

}  // namespace
}  // namespace densilo::calc
