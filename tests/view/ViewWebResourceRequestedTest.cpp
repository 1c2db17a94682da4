// The answers of the web view host to local file requests, driven through
// the fake engine against the fake system's files.
#include <limits.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeEnvironment.h"
#include "fakes/FakeWebResourceRequestedEventArgs.h"
#include "util/FileUrl.h"
#include "util/Strings.h"
#include "platform/Platform.h"
#include "platform/fake/FakeSystem.h"
#include "view/LocalFileResponse.h"
#include "view/View.h"

namespace {

constexpr auto kOther = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT;
constexpr auto kMedia = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA;

std::string ReadAll(IStream* stream) {
  std::string all;
  char buffer[7];
  for (;;) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(buffer, sizeof buffer, &read);
    all.append(buffer, read);
    if (hr != S_OK) break;
  }
  return all;
}

std::u16string Replace(std::u16string text, std::u16string_view token, std::u16string_view value) {
  for (std::size_t at = text.find(token); at != std::u16string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

class WebResourceRequested : public ::testing::Test {
 protected:
  WebResourceRequested() {
    Platform::Install(nullptr, &m_system);
    AddFile(u"index.html", "<html>");
    AddFile(u"main.js", "js");
    AddFile(u"MAIN.JS", "JS");
    AddFile(u"data.json", "{}");
    AddFile(u"style.css", "css");
    AddFile(u"mod.wasm", std::string("\0asm", 4));
    AddFile(u"pic.svg", "<svg/>");
    AddFile(u"page.htm", "htm");
    AddFile(u"img.png", "png");
    AddFile(u"notes.txt", "txt");
    AddFile(u"mod.mjs", "mjs");
    AddFile(u"日本 語.html", "nihongo");
    AddFile(u"a#b?c%.css", "odd");
    AddFile(u"secret.html", "no", false);
    m_system.AddFolder(std::u16string(kRoot) + u"/sub");
    m_system.AddFolder(std::u16string(kRoot) + u"/dir.html");
    m_webView = m_environment->MakeController()->webView;
  }
  ~WebResourceRequested() override { Platform::Install(nullptr, nullptr); }

  void AddFile(std::u16string_view name, std::string content, bool readable = true) {
    FakeSystem::File file;
    file.content = std::move(content);
    file.opensForReading = readable;
    m_system.AddFile(std::u16string(kRoot) + u"/" + std::u16string(name), file);
  }

  // Raises one request and returns its arguments after the handler ran.
  ComPtr<FakeWebResourceRequestedEventArgs> Request(std::optional<std::u16string> uri,
                                                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = kOther) {
    auto args = MakeComObject<FakeWebResourceRequestedEventArgs>(std::move(uri), context);
    EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), args.Get()), S_OK);
    return args;
  }

  static std::u16string Uri(std::u16string_view pattern) {
    // The folder's address part, encoded as the engine sends it.
    return Replace(std::u16string(pattern), u"{root}", PathToFileUrl(kRoot).substr(7));
  }

  static constexpr std::u16string_view kRoot = u"/srv/my app";

  FakeSystem m_system;
  ComPtr<FakeEnvironment> m_environment = MakeComObject<FakeEnvironment>();
  ComPtr<FakeWebView> m_webView;
  CView m_view;
};

struct ResponseCase {
  const char* name;
  std::u16string uri;  // "{root}" stands for the content folder's encoded path
  int status;          // 0: no response is set
  std::u16string contentTypeLine;
  std::string body;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = kOther;
};

class WebResourceRequestedTable : public WebResourceRequested, public ::testing::WithParamInterface<ResponseCase> {};

TEST_P(WebResourceRequestedTable, AnswersWithStatusHeadersAndBody) {
  const auto& c = GetParam();
  const auto args = Request(Uri(c.uri), c.context);
  // Only an address that became a path reaches the file system, once.
  EXPECT_EQ(m_system.OpenedFileStreams().size(), c.status == 200 || c.status == 404 ? 1u : 0u);
  if (c.status == 0) {
    EXPECT_EQ(args->putResponseCount, 0);
    EXPECT_TRUE(m_environment->responses.empty());
    return;
  }
  ASSERT_EQ(args->putResponseCount, 1);
  ASSERT_EQ(m_environment->responses.size(), 1u);
  const auto& response = m_environment->responses.front();
  EXPECT_EQ(args->response.Get(), static_cast<ICoreWebView2WebResourceResponse*>(response.Get()));
  EXPECT_EQ(response->statusCode, c.status);
  const char16_t* reason = c.status == 200 ? u"OK" : c.status == 404 ? u"Not Found" : u"Bad Request";
  EXPECT_EQ(response->reasonPhrase, reason);
  EXPECT_EQ(response->headers, std::u16string(kIsolationHeaders) + c.contentTypeLine);
  if (c.status == 200) {
    ASSERT_TRUE(response->content);
    EXPECT_EQ(ReadAll(response->content.Get()), c.body);
  } else {
    EXPECT_FALSE(response->content);
  }
}

const std::u16string kHtml = u"Content-Type: text/html\n";
const std::u16string kJs = u"Content-Type: text/javascript\n";
const std::u16string kCss = u"Content-Type: text/css\n";

INSTANTIATE_TEST_SUITE_P(
    Table, WebResourceRequestedTable,
    ::testing::Values(
        ResponseCase{"Html", u"file://{root}/index.html", 200, kHtml, "<html>"},
        ResponseCase{"Js", u"file://{root}/main.js", 200, kJs, "js"},
        ResponseCase{"Json", u"file://{root}/data.json", 200, u"Content-Type: application/json\n", "{}"},
        ResponseCase{"Css", u"file://{root}/style.css", 200, kCss, "css"},
        ResponseCase{"Wasm", u"file://{root}/mod.wasm", 200, u"Content-Type: application/wasm\n",
                     std::string("\0asm", 4)},
        ResponseCase{"Svg", u"file://{root}/pic.svg", 200, u"Content-Type: image/svg+xml\n", "<svg/>"},
        ResponseCase{"Htm", u"file://{root}/page.htm", 200, u"", "htm"},
        ResponseCase{"Png", u"file://{root}/img.png", 200, u"", "png"},
        ResponseCase{"Txt", u"file://{root}/notes.txt", 200, u"", "txt"},
        ResponseCase{"Mjs", u"file://{root}/mod.mjs", 200, u"", "mjs"},
        ResponseCase{"UpperCaseSchemeAndName", u"FILE://{root}/MAIN.JS", 200, kJs, "JS"},
        ResponseCase{"Localhost", u"file://localhost{root}/index.html", 200, kHtml, "<html>"},
        ResponseCase{"Query", u"file://{root}/index.html?v=2", 200, u"", "<html>"},
        ResponseCase{"Fragment", u"file://{root}/index.html#top", 200, u"", "<html>"},
        ResponseCase{"EncodedUtf8Name", u"file://{root}/%E6%97%A5%E6%9C%AC%20%E8%AA%9E.html", 200, kHtml,
                     "nihongo"},
        ResponseCase{"EncodedReservedCharacters", u"file://{root}/a%23b%3Fc%25.css", 200, kCss, "odd"},
        ResponseCase{"Folder", u"file://{root}/sub", 404, u"", ""},
        ResponseCase{"FolderNamedHtml", u"file://{root}/dir.html", 404, kHtml, ""},
        ResponseCase{"Missing", u"file://{root}/missing.js", 404, kJs, ""},
        ResponseCase{"Unreadable", u"file://{root}/secret.html", 404, kHtml, ""},
        ResponseCase{"MissingFolder", u"file://{root}/none/index.html", 404, kHtml, ""},
        ResponseCase{"Host", u"file://server{root}/index.html", 400, kHtml, ""},
        ResponseCase{"BadEscape", u"file://{root}/a%zz.html", 400, kHtml, ""},
        ResponseCase{"TruncatedEscape", u"file://{root}/a.css%2", 400, u"", ""},
        ResponseCase{"EncodedNul", u"file://{root}/index.html%00.js", 400, kJs, ""},
        ResponseCase{"InvalidUtf8", u"file://{root}/%FF.html", 400, kHtml, ""},
        ResponseCase{"OverLong", u"file://{root}/" + std::u16string(PATH_MAX, u'a') + u".html", 400, kHtml, ""},
        ResponseCase{"SchemeOnly", u"file://", 400, u"", ""},
        ResponseCase{"Web", u"https://example.com/index.html", 0, u"", ""},
        ResponseCase{"Data", u"data:text/html,<p>x</p>", 0, u"", ""},
        ResponseCase{"ShortScheme", u"file:/", 0, u"", ""},
        ResponseCase{"Empty", u"", 0, u"", ""},
        ResponseCase{"Media", u"file://{root}/index.html", 0, u"", "", kMedia},
        ResponseCase{"ImageContext", u"file://{root}/img.png", 200, u"", "png",
                     COREWEBVIEW2_WEB_RESOURCE_CONTEXT_IMAGE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebResourceRequested, TheDecodedPathIsWhatIsOpened) {
  Request(Uri(u"FILE://localhost{root}/%E6%97%A5%E6%9C%AC%20%E8%AA%9E.html?x=%zz#frag"));
  EXPECT_THAT(m_system.OpenedFileStreams(), ::testing::ElementsAre(std::u16string(kRoot) + u"/日本 語.html"));
  ASSERT_EQ(m_environment->responses.size(), 1u);
  EXPECT_EQ(m_environment->responses[0]->statusCode, 200);
}

TEST_F(WebResourceRequested, AnUnreadableAddressCountsAsEmptyAndIsLeftAlone) {
  const auto args = Request(std::nullopt);
  EXPECT_EQ(args->putResponseCount, 0);
}

TEST_F(WebResourceRequested, NoEnvironmentMeansNoResponse) {
  m_webView->getEnvironmentResult = E_FAIL;
  EXPECT_EQ(Request(Uri(u"file://{root}/index.html"))->putResponseCount, 0);
  m_webView->getEnvironmentResult = S_OK;
  m_webView->SetEnvironment(nullptr);
  EXPECT_EQ(Request(Uri(u"file://{root}/index.html"))->putResponseCount, 0);
}

TEST_F(WebResourceRequested, AResponseThatCannotBeMadeIsNotSet) {
  m_environment->createResponseResult = E_OUTOFMEMORY;
  EXPECT_EQ(Request(Uri(u"file://{root}/index.html"))->putResponseCount, 0);
  EXPECT_EQ(Request(Uri(u"file://{root}/missing.html"))->putResponseCount, 0);
}

TEST_F(WebResourceRequested, NullArgumentsAreIgnored) {
  EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), nullptr), S_OK);
}

TEST_F(WebResourceRequested, EachAnswerHasItsOwnStreamAndNothingLeaks) {
  ComPtr<FakeWebResourceResponse> first;
  {
    Request(Uri(u"file://{root}/index.html"));
    Request(Uri(u"file://{root}/index.html"));
    ASSERT_EQ(m_environment->responses.size(), 2u);
    EXPECT_NE(m_environment->responses[0]->content.Get(), m_environment->responses[1]->content.Get());
    first = m_environment->responses[0];
  }
  // Only the environment's record and this test hold the response; the
  // arguments that carried it are gone.
  EXPECT_EQ(first->RefCount(), 2u);
}

}  // namespace
