// The program's texts are GBK bytes at run time whatever encoding the sources use.
#include <gtest/gtest.h>

#include <string>

TEST(Charset, LiteralsAreCompiledToGbk) {
  EXPECT_EQ(std::string("监控编号").size(), 8u);
  EXPECT_EQ(std::string("：").compare("\xA3\xBA"), 0);
  EXPECT_EQ(std::string("√").compare("\xA1\xCC"), 0);
  EXPECT_EQ(std::string("×").compare("\xA1\xC1"), 0);
  EXPECT_EQ(std::string("乗").compare("\x81\x5C"), 0);
}
