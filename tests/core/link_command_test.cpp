#include "ui/core/link_command.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using densilo::core::assemble_link_command;

struct LinkCase {
  const char* what;
  std::u16string command;
  std::u16string target;
  std::u16string expected;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
  *os << c.what;
}

class AssembleLinkCommand : public testing::TestWithParam<LinkCase> {};

TEST_P(AssembleLinkCommand, CutsAtPlaceholderAndAppendsTarget) {
  const LinkCase& c = GetParam();
  EXPECT_EQ(assemble_link_command(c.command, c.target), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AssembleLinkCommand,
    testing::Values(
        LinkCase{"quoted placeholder after a space leaves two spaces before the target",
                 u"\"C:\\Browser\\browser.exe\" \"%1\"", u"http://example.com/",
                 u"\"C:\\Browser\\browser.exe\"  http://example.com/"},
        LinkCase{"unquoted placeholder after a space leaves two spaces too",
                 u"C:\\Browser\\browser.exe %1", u"http://example.com/",
                 u"C:\\Browser\\browser.exe  http://example.com/"},
        LinkCase{"no placeholder: the whole command, one space, the target",
                 u"C:\\Browser\\browser.exe -nohome", u"http://example.com/",
                 u"C:\\Browser\\browser.exe -nohome http://example.com/"},
        LinkCase{"the quoted placeholder is searched first even when a bare one comes earlier",
                 u"b.exe -a %1 -b \"%1\" -c", u"T", u"b.exe -a %1 -b  T"},
        LinkCase{"everything after the cut is dropped", u"b.exe \"%1\" -new-window", u"T",
                 u"b.exe  T"},
        LinkCase{"only the first bare placeholder counts", u"b.exe %1 %1", u"T", u"b.exe  T"},
        LinkCase{"a lone quote before a bare placeholder is kept", u"b.exe \"%1", u"T",
                 u"b.exe \" T"},
        LinkCase{"placeholder at the very start", u"\"%1\"", u"T", u" T"},
        LinkCase{"%10 still starts with the placeholder", u"b.exe %10", u"T", u"b.exe  T"},
        LinkCase{"a lone percent sign is no placeholder", u"b.exe 100%", u"T", u"b.exe 100% T"},
        LinkCase{"empty command", u"", u"http://example.com/", u" http://example.com/"},
        LinkCase{"empty target", u"b.exe %1", u"", u"b.exe  "},
        LinkCase{"target is appended unquoted, spaces and quotes included", u"b.exe \"%1\"",
                 u"a b \"c\"", u"b.exe  a b \"c\""},
        LinkCase{"non-ASCII text on both sides", u"\"C:\\程序\\浏览器.exe\" \"%1\"",
                 u"http://例子.测试/关于", u"\"C:\\程序\\浏览器.exe\"  http://例子.测试/关于"}));

TEST(AssembleLinkCommandLong, KeepsThousandsOfCharactersOnBothSides) {
  // Fixed buffers of a few hundred bytes are what this must not imitate.
  const std::u16string program = u"\"C:\\" + std::u16string(5000, u'd') + u"\\b.exe\"";
  const std::u16string target = u"http://example.com/?" + std::u16string(7000, u'q');
  const std::u16string line = assemble_link_command(program + u" \"%1\" --flag", target);
  EXPECT_EQ(line, program + u"  " + target);
}

TEST(AssembleLinkCommandLong, FindsAPlaceholderFarIntoALongCommand) {
  const std::u16string filler(10000, u'x');
  EXPECT_EQ(assemble_link_command(filler + u" %1 tail", u"T"), filler + u"  T");
  EXPECT_EQ(assemble_link_command(filler + u"%1" + filler + u"\"%1\"", u"T"),
            filler + u"%1" + filler + u" T");
}

}  // namespace
