#include "resources/StringTable.h"

#include <array>
#include <utility>

#include "resources/Resource.h"

namespace {
// 58108 ends with the download address; it is spelled out here so that the
// table holds the whole text a user reads, and checked against the constant
// by the tests.
constexpr std::array<std::pair<UINT, std::u16string_view>, 25> kStrings{{
    {IDR_MAINFRAME, u"Vellumview04"},
    {ID_BACK, u"Back\nBack"},
    {ID_FORWARD, u"Forward\nForward"},
    {ID_RELOAD, u"Reload\nReload"},
    {IDS_SETTINGS_LOAD_FAILED, u"設定ファイルを読み込めません : 0x%1!x!"},
    {IDS_BROWSER_INITIALIZATION_FAILED, u"ブラウザの初期化に失敗しました : 0x%1!x!"},
    {IDS_BROWSER_CONFIGURATION_FAILED, u"ブラウザの設定に失敗しました : 0x%1!x!"},
    {IDS_RUNTIME_SETUP_FAILED, u"ランタイムのセットアップに失敗しました : 0x%1!x!"},
    {IDS_RUNTIME_NOT_INSTALLED,
     u"WebView2ランタイムがインストールされていません。\n"
     u"Microsoftのサイトよりダウンロードしてインストールしてください。\n"
     u"/usr/share/doc/vellumview/README.md (Installing)"},
    {IDS_SETUP_NOTICE,
     u"アプリケーション実行の初回のセットアップを行います。\nこれには数分間かかる場合があります。"},
    {IDS_APP_ABOUT_MENU_ITEM, u"バージョン情報(&A) ..."},
    {IDS_SETUP_DIALOG_CAPTION, u"WebView2ランタイムのセットアップ"},
    {IDS_SETUP_DIALOG_TEXT, u"WebView2ランタイムをインストールしています"},
    {IDS_ABOUT_CAPTION, u"About"},
    {IDS_ABOUT_TEXT, u"Vellumview\nVersion 1.0.0\nVellumview developers"},
    {IDS_OK, u"OK"},
    {IDS_FOLDER_NOT_FOUND, u"フォルダが見つかりません:"},
    {IDS_FILE_NOT_FOUND, u"ファイルが見つかりません:"},
    {IDS_SAVE_FAILED, u"ファイルを保存できません"},
    {IDS_SAVE_DIALOG_TITLE, u"ファイルを保存"},
    {IDS_OPEN_AFTER_SAVE, u"保存後にファイルを開く"},
    // Follows the path of a file the save would replace.
    {IDS_CONFIRM_REPLACE, u" は既に存在します。置き換えますか?"},
    // Follows the name of the file being saved, in the copy's progress window.
    {IDS_COPY_PROGRESS_TEXT, u" を保存しています"},
    {IDS_CANCEL, u"キャンセル"},
    {0, u""},
}};
}  // namespace

std::u16string_view LoadStringResource(UINT id) {
  if (id == 0) return {};
  for (const auto& [key, text] : kStrings)
    if (key == id) return text;
  return {};
}

std::u16string_view ToolTipText(UINT commandId) {
  const std::u16string_view text = LoadStringResource(commandId);
  const auto newline = text.find(u'\n');
  if (newline == std::u16string_view::npos) return {};
  return text.substr(newline + 1);
}
