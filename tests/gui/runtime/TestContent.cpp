#include "TestContent.h"

#include <glib.h>
#include <glib/gstdio.h>

namespace {

const char kIndexHtml[] = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>Vellumview runtime test</title>
<link rel="stylesheet" href="style.css">
<script src="app.js"></script>
<script src="missing.js"></script>
</head><body>
<h1>Vellumview runtime</h1>
<p id="status">loading</p>
<p><img id="abs" alt="absolute" width="40" height="40"></p>
<a id="blank" href="page2.html?from=link" target="_blank">new window</a>
<video src="clip.mp4" muted preload="auto" width="160" height="90"></video>
</body></html>
)";

const char kAppJs[] = R"(
async function runChecks() {
  const r = [];
  const data = await fetch("data.json");
  r.push("json=" + (await data.json()).value);
  r.push("coep=" + data.headers.get("Cross-Origin-Embedder-Policy"));
  r.push("type=" + data.headers.get("Content-Type"));
  try {
    const w = await WebAssembly.instantiateStreaming(fetch("add.wasm"));
    r.push("wasm=" + w.instance.exports.add(2, 3));
  } catch (e) { r.push("wasm=error-" + e.name); }
  r.push("style=" + getComputedStyle(document.body).marginLeft);
  r.push("coi=" + self.crossOriginIsolated);
  r.push("lang=" + navigator.language);
  try {
    const sab = new SharedArrayBuffer(8);
    const worker = new Worker("worker.js");
    const answer = await new Promise(res => {
      worker.onmessage = e => res(e.data);
      worker.onerror = () => res("error");
      worker.postMessage(sab);
    });
    r.push("sab=" + answer + "-" + new Int32Array(sab)[0]);
  } catch (e) { r.push("sab=error-" + e.name); }
  r.push("missing=" + (await fetch("missing.json")).status);
  return r;
}
window.addEventListener("load", async () => {
  const mode = new URLSearchParams(location.search).get("mode") || "";
  if (mode === "abs") {
    const img = document.getElementById("abs");
    img.src = location.href.replace(/^vellum-file:/, "file:").replace(/index\.html.*$/, "absolute.svg");
    await new Promise(res => { img.onload = res; img.onerror = res; });
    await fetch("report.txt?abs=" + img.naturalWidth);
    return;
  }
  if (mode === "fullscreen") {
    document.addEventListener("fullscreenchange", () => {
      if (document.fullscreenElement) {
        fetch("fs.txt?entered=1").then(() => document.exitFullscreen());
      } else {
        fetch("fs.txt?left=1");
      }
    });
    document.addEventListener("click", () => {
      document.documentElement.requestFullscreen().catch(e => fetch("fs.txt?error=" + e.name));
    });
    fetch("armed.txt");
    return;
  }
  if (mode === "download") {
    const a = document.createElement("a");
    a.href = "data.bin";
    a.download = "data.bin";
    document.body.appendChild(a);
    a.click();
    return;
  }
  if (mode === "alert") {
    alert("blocked?");
    confirm("blocked?");
    fetch("after-alert.txt");
    return;
  }
  if (mode === "cancel") {
    location.href = "page2.html?from=cancel";
    setTimeout(() => fetch("still-here.txt?after=cancel"), 500);
    return;
  }
  if (mode === "newwindow") {
    const opened = window.open("page2.html?from=open");
    document.getElementById("blank").click();
    setTimeout(() => fetch("still-here.txt?after=newwindow&opened=" + (opened === null ? "null" : "object")), 500);
    return;
  }
  const r = await runChecks();
  document.getElementById("status").textContent = r.join(" ");
  await fetch("report.txt?" + r.join("&"));
});
)";

const char kStyleCss[] = "body { margin-left: 17px; font-family: sans-serif; background: #e8f0ff; }\nh1 { color: #203080; }\n";
const char kDataJson[] = "{\"value\": 41}\n";
const char kWorkerJs[] =
    "onmessage = e => { const a = new Int32Array(e.data); Atomics.store(a, 0, 42); postMessage(e.data instanceof "
    "SharedArrayBuffer ? 'shared' : 'copied'); };\n";
const char kPage2Html[] =
    "<!doctype html><html><head><meta charset=\"utf-8\"><title>Second page</title></head><body><p>second</p>"
    "<script>fetch('page2-loaded.txt')</script></body></html>\n";
const char kSvg[] =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><rect width=\"40\" height=\"40\" "
    "fill=\"green\"/></svg>\n";

// (module (func (export "add") (param i32 i32) (result i32) local.get 0 local.get 1 i32.add))
const unsigned char kAddWasm[] = {0x00, 0x61, 0x73, 0x6d, 0x01, 0x00, 0x00, 0x00, 0x01, 0x07, 0x01, 0x60, 0x02,
                                  0x7f, 0x7f, 0x01, 0x7f, 0x03, 0x02, 0x01, 0x00, 0x07, 0x07, 0x01, 0x03, 0x61,
                                  0x64, 0x64, 0x00, 0x00, 0x0a, 0x09, 0x01, 0x07, 0x00, 0x20, 0x00, 0x20, 0x01,
                                  0x6a, 0x0b};

}  // namespace

TestContent::TestContent() {
  g_autofree char* folder = g_dir_make_tmp("vellum-runtime-content-XXXXXX", nullptr);
  m_folder = folder ? folder : "";
  Write("index.html", kIndexHtml);
  Write("app.js", kAppJs);
  Write("style.css", kStyleCss);
  Write("data.json", kDataJson);
  Write("worker.js", kWorkerJs);
  Write("page2.html", kPage2Html);
  Write("absolute.svg", kSvg);
  Write("add.wasm", std::string(reinterpret_cast<const char*>(kAddWasm), sizeof kAddWasm));
  Write("report.txt", "ok\n");
  Write("still-here.txt", "ok\n");
  Write("page2-loaded.txt", "ok\n");
  Write("clip.mp4", std::string(4096, '\0'));
  Write("data.bin", std::string(1024, 'x'));
  Write("armed.txt", "ok\n");
  Write("fs.txt", "ok\n");
  Write("after-alert.txt", "ok\n");
}

TestContent::~TestContent() {
  if (GDir* dir = g_dir_open(m_folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) {
      g_autofree char* path = g_build_filename(m_folder.c_str(), name, nullptr);
      g_remove(path);
    }
    g_dir_close(dir);
  }
  g_rmdir(m_folder.c_str());
}

std::string TestContent::Url(const std::string& name) const { return "file://" + m_folder + "/" + name; }

void TestContent::Write(const std::string& name, const std::string& bytes) const {
  g_autofree char* path = g_build_filename(m_folder.c_str(), name.c_str(), nullptr);
  g_file_set_contents(path, bytes.data(), static_cast<gssize>(bytes.size()), nullptr);
}
