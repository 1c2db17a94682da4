// The test application's script. Without a mode the page reports its language
// in the address of one request; each mode does one thing and then requests a
// marker file.
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
