#pragma once
// A throw-away content folder with the test web application: a page, its
// script, style sheet, JSON, an image, a video, a large file and two files to
// download, removed again when the object goes. WebAssembly, workers with shared memory
// and the isolation headers the page sees are checked with the demo
// application in the whole program.
#include <glib.h>

#include <filesystem>
#include <string>
#include <utility>

inline constexpr char kIndexHtml[] = R"html(<!doctype html>
<html><head><meta charset="utf-8"><link rel="stylesheet" href="style.css"><script src="app.js"></script>
</head><body><img id="abs" width="40" height="40"><a id="blank" href="page2.html?from=link" target="_blank">new</a>
<video src="clip.mp4" muted preload="auto" width="160" height="90"></video></body></html>
)html";

// Without a mode the page reports its language in the address of one
// request; each mode does one thing and then requests a marker file.
inline constexpr char kAppJs[] = R"js(
const modes = {
  "": () => fetch("report.txt?lang=" + navigator.language),
  async abs() {
    const img = document.getElementById("abs");
    img.src = "file://" + location.pathname.replace(/index\.html$/, "image-left.svg");
    await new Promise(res => { img.onload = img.onerror = res; });
    fetch("report.txt?abs=" + img.naturalWidth);
  },
  download() {  // one at a time: a second download navigation would replace the first
    const save = name => Object.assign(document.body.appendChild(document.createElement("a")), {href: name, download: name}).click();
    save("data.bin"), setTimeout(() => save("kept.bin"), 500);
  },
  absnav() {  // new windows first, then an absolute link, whose page goes on by a location assignment
    const dir = "file://" + location.pathname.replace(/index\.html$/, "");
    window.open(dir + "page2.html?from=fileopen");
    Object.assign(document.getElementById("blank"), {href: dir + "page2.html?from=fileblank"}).click();
    setTimeout(() => Object.assign(document.body.appendChild(document.createElement("a")), {href: dir + "page2.html?from=abslink"}).click(), 500);
  },
  async frames() {  // a local frame that navigates, then a web page's frame; then the page's own request
    const load = src => new Promise(res => { const f = Object.assign(document.createElement("iframe"), {src}); f.onload = () => res(f); document.body.appendChild(f); });
    const local = await load("page2.html?from=iframe");
    await new Promise(res => { local.onload = res; local.src = "page2.html?from=iframe2"; });
    const web = new URLSearchParams(location.search).get("web");
    await load(web + "/evil.html?in=frame&server=" + encodeURIComponent(location.origin));
    const data = await fetch("data.json");
    setTimeout(() => fetch("frames-done.txt?status=" + data.status + "&coep=" + data.headers.get("Cross-Origin-Embedder-Policy")), 1500);
  },
  store() {
    const write = new URLSearchParams(location.search).get("write");
    if (write) localStorage.setItem("kept", write);
    fetch("stored.txt?value=" + localStorage.getItem("kept"));
  },
  async big() {  // a body of many pieces
    const bytes = new Uint8Array(await (await fetch("big-left.bin")).arrayBuffer());
    fetch("big-done.txt?whole=" + bytes.length + "&last=" + bytes[bytes.length - 1]);
  },
  fifo() {  // a pipe as media must fail, not hold the window
    const video = Object.assign(document.createElement("video"), {src: "pipe.mp4", muted: true, preload: "auto"});
    video.onerror = () => fetch("after-fifo.txt?error=" + (video.error && video.error.code));
    document.body.appendChild(video);
  },
  alert() { alert("blocked?"); confirm("blocked?"); fetch("after-alert.txt"); },
};
window.addEventListener("load", () => modes[new URLSearchParams(location.search).get("mode") || ""]());
)js";

// A page with no extension, which the program answers without a type.
inline constexpr char kExtensionlessPage[] = "<!doctype html><html><body>no extension<script>fetch('extensionless-ok.txt')</script></body></html>\n";

// The second page: an absolute link's target, which goes on to itself by an absolute location assignment.
inline constexpr char kPage2Html[] = R"html(<!doctype html><html><body>page two<script>
if (location.search === "?from=abslink") location.href = "file://" + location.pathname + "?from=assign";
</script></body></html>
)html";

// A web page from another loopback server: asks for local files by every road and reports to its own server.
inline constexpr char kWebPageHtml[] = R"html(<!doctype html><html><body>web page<script>
(async () => {
  const server = new URLSearchParams(location.search).get("server");
  const r = [];
  for (const [n, u] of [["etc", "file:///etc/passwd"], ["other", "file://otherhost/etc/passwd"], ["server", server + "/etc/passwd"]]) {
    try { const res = await fetch(u); r.push(n + "=" + res.status + ((await res.text()).includes("root:") ? "-LEAKED" : "")); }
    catch (e) { r.push(n + "=blocked"); }
  }
  fetch("/report?" + new URLSearchParams(location.search).get("in") + "&" + r.join("&"));
})();
</script></body></html>
)html";

// Several times the runtime's body piece, ending in a byte that tells a cut body from a whole one.
inline std::string BigFile() { return std::string(3 * 1024 * 1024 + 5, 'b') + '\x7f'; }

// A fresh folder of its own below the temporary folder.
inline std::string TemporaryFolder(const char* pattern) {
  g_autofree char* made = g_dir_make_tmp(pattern, nullptr);
  return made ? made : "";
}

struct TestContent {
  TestContent() {
    const std::pair<const char*, std::string> files[] = {
        {"index.html", kIndexHtml}, {"app.js", kAppJs}, {"data.json", "{\"value\": 41}\n"}, {"style.css", "body { margin-left: 17px; }\n"},
        {"image-left.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><rect width=\"40\" height=\"40\"/></svg>"},
        {"clip.mp4", std::string(4096, '\0')}, {"data.bin", std::string(1024, 'x')}, {"kept.bin", std::string(1000, 'k')},
        {"page2.html", kPage2Html}, {"start", kExtensionlessPage}, {"big-left.bin", BigFile()},
    };
    for (const auto& [name, bytes] : files)
      g_file_set_contents((folder + "/" + name).c_str(), bytes.data(), static_cast<gssize>(bytes.size()), nullptr);
  }
  ~TestContent() { std::filesystem::remove_all(folder); }
  std::string Url(const std::string& name) const { return "file://" + folder + "/" + name; }

  std::string folder = TemporaryFolder("vellum-runtime-content-XXXXXX");
};
