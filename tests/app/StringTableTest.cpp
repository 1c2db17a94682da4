// The string table: the texts the user sees, verbatim, by identifier.
#include "app/StringTable.h"

#include <gtest/gtest.h>

#include "app/Resource.h"

namespace {

struct StringCase {
  UINT id;
  std::u16string_view text;
};

class StringTableTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringTableTest, HoldsTheTextVerbatim) { EXPECT_EQ(LoadStringResource(GetParam().id), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Strings, StringTableTest,
    ::testing::Values(StringCase{128, u"Vellumview04"}, StringCase{58000, u"Back\nBack"},
                      StringCase{58001, u"Forward\nForward"}, StringCase{58002, u"Reload\nReload"},
                      StringCase{58100, u"設定ファイルを読み込めません : 0x%1!x!"},
                      StringCase{58103, u"ブラウザの初期化に失敗しました : 0x%1!x!"},
                      StringCase{58104, u"ブラウザの設定に失敗しました : 0x%1!x!"},
                      StringCase{58106, u"ランタイムのセットアップに失敗しました : 0x%1!x!"},
                      StringCase{IDS_SETUP_NOTICE,
                                 u"アプリケーション実行の初回のセットアップを行います。\nこれには数分間かかる場合があります。"},
                      StringCase{IDS_APP_ABOUT_MENU_ITEM, u"バージョン情報(&A) ..."},
                      StringCase{IDS_ABOUT_CAPTION, u"About"},
                      StringCase{IDS_SETUP_DIALOG_CAPTION, u"WebView2ランタイムのセットアップ"},
                      StringCase{IDS_SETUP_DIALOG_TEXT, u"WebView2ランタイムをインストールしています"},
                      StringCase{0, u""}, StringCase{1, u""}, StringCase{58099, u""}));

TEST(StringTable, TheNotInstalledMessageEndsWithTheDownloadAddressOnItsThirdLine) {
  const std::u16string_view text = LoadStringResource(58108);
  const std::u16string_view first =
      u"WebView2ランタイムがインストールされていません。\nMicrosoftのサイトよりダウンロードしてインストールしてください。\n";
  ASSERT_EQ(text.substr(0, first.size()), first);
  EXPECT_EQ(text.substr(first.size()), kRuntimeDownloadAddress);
  EXPECT_EQ(kRuntimeDownloadAddress.find(u'\n'), std::u16string_view::npos);
}

struct ToolTipCase {
  UINT id;
  std::u16string_view tip;
};

class ToolTipTest : public ::testing::TestWithParam<ToolTipCase> {};

TEST_P(ToolTipTest, IsThePartAfterTheFirstLineBreak) { EXPECT_EQ(ToolTipText(GetParam().id), GetParam().tip); }

INSTANTIATE_TEST_SUITE_P(Commands, ToolTipTest,
                         ::testing::Values(ToolTipCase{ID_BACK, u"Back"}, ToolTipCase{ID_FORWARD, u"Forward"},
                                           ToolTipCase{ID_RELOAD, u"Reload"},
                                           // No line break: nothing.
                                           ToolTipCase{IDR_MAINFRAME, u""}, ToolTipCase{12345, u""}));

}  // namespace
