// Takes a screenshot of a page in a running headless Chromium through the
// DevTools protocol, after waiting in real time. Chromium's own
// --screenshot/--virtual-time-budget switches run on virtual time, which
// does not wait for workers, so the demo's thread check would always time
// out there; this waits on the wall clock instead.
//
// Usage: node --experimental-websocket cdp-screenshot.js PORT URL OUT.png WAIT_MS
const [port, url, out, waitMs] = process.argv.slice(2);
const fs = require('fs');

async function main() {
  const target = await (await fetch(`http://127.0.0.1:${port}/json/new?${url}`, { method: 'PUT' })).json();
  const ws = new WebSocket(target.webSocketDebuggerUrl);
  await new Promise((resolve, reject) => { ws.onopen = resolve; ws.onerror = reject; });
  let nextId = 1;
  const waiting = new Map();
  ws.onmessage = (event) => {
    const message = JSON.parse(event.data);
    if (message.id && waiting.has(message.id)) {
      waiting.get(message.id)(message);
      waiting.delete(message.id);
    }
  };
  const send = (method, params = {}) => new Promise((resolve) => {
    const id = nextId++;
    waiting.set(id, resolve);
    ws.send(JSON.stringify({ id, method, params }));
  });
  await send('Emulation.setDeviceMetricsOverride', { width: 1100, height: 900, deviceScaleFactor: 1, mobile: false });
  await new Promise((resolve) => setTimeout(resolve, Number(waitMs)));
  const shot = await send('Page.captureScreenshot', { format: 'png' });
  fs.writeFileSync(out, Buffer.from(shot.result.data, 'base64'));
  console.log(`screenshot written to ${out}`);
  ws.close();
}

main().catch((error) => { console.error(error); process.exit(1); });
