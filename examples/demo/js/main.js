// The demo page's script. It runs a list of checks, one after another, on
// the things a local web app needs from the shell that serves it: scripts,
// a stylesheet, an image, JSON fetched at run time, the isolation headers,
// WebAssembly, shared memory and threads. Each outcome is shown on the page
// and also reported by requesting a "sentinel" address under results/. Those
// files do not exist, so the shell answers 404, but every request is written
// to the runtime's trace, which lets automated tests read the page's own
// verdict without any script bridge into the page.

window.demoStarted = true;

const CHECK_TIMEOUT_MS = 15000;

// Requests one sentinel address. The answer (a 404) does not matter, only
// that the request is made; failures are swallowed so that reporting can
// never break the page. No query string is added: the shell picks the
// content type from the end of the address.
async function report(path) {
  try {
    await fetch(path, { cache: 'no-store' });
  } catch (_) {
    // The request was still attempted, which is all the trace needs.
  }
}

function withTimeout(promise, ms, what) {
  let timer;
  const timeout = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`${what} did not finish within ${ms / 1000} s`)), ms);
  });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

function fail(message) {
  throw new Error(message);
}

// Some data that later checks reuse: the JSON check stores the parsed file
// here so the thread check can take its worker count from it.
const shared = { info: null };

const checks = [
  {
    name: 'script',
    title: 'Module script',
    async run() {
      // Reaching this point at all means the module script was served with a
      // JavaScript content type; browsers refuse modules served otherwise.
      const url = new URL(import.meta.url);
      return `js/main.js ran as a module (${url.protocol} address)`;
    },
  },
  {
    name: 'stylesheet',
    title: 'Stylesheet',
    async run() {
      const value = getComputedStyle(document.documentElement)
        .getPropertyValue('--demo-stylesheet').trim();
      if (value !== 'loaded') fail('css/style.css was not applied (wrong content type or not found)');
      return 'css/style.css applied';
    },
  },
  {
    name: 'image',
    title: 'SVG image',
    async run() {
      const img = document.getElementById('logo');
      if (!img.complete) {
        await new Promise((resolve, reject) => {
          img.addEventListener('load', resolve, { once: true });
          img.addEventListener('error', () => reject(new Error('img/logo.svg failed to load')), { once: true });
        });
      }
      if (!img.naturalWidth) fail('img/logo.svg did not decode (served without image/svg+xml?)');
      return `img/logo.svg drawn, ${img.naturalWidth}×${img.naturalHeight}`;
    },
  },
  {
    name: 'json',
    title: 'JSON data',
    async run() {
      const response = await fetch('data/info.json', { cache: 'no-store' });
      if (!response.ok) fail(`data/info.json answered ${response.status}`);
      const type = response.headers.get('content-type') || '(none)';
      if (!type.startsWith('application/json')) fail(`data/info.json has content type ${type}`);
      const info = await response.json();
      if (typeof info.name !== 'string') fail('data/info.json has no "name"');
      shared.info = info;
      document.getElementById('app-name').textContent = info.name;
      document.getElementById('tagline').textContent = info.tagline;
      return `data/info.json fetched as ${type}, version ${info.version}`;
    },
  },
  {
    name: 'headers',
    title: 'Isolation headers',
    async run() {
      const response = await fetch('data/info.json', { cache: 'no-store' });
      const expected = {
        'cross-origin-embedder-policy': 'require-corp',
        'cross-origin-opener-policy': 'same-origin',
        'cross-origin-resource-policy': 'cross-origin',
      };
      const wrong = Object.entries(expected)
        .filter(([name, value]) => response.headers.get(name) !== value)
        .map(([name]) => `${name}: ${response.headers.get(name) ?? 'missing'}`);
      if (wrong.length) fail(wrong.join('; '));
      return 'COEP require-corp, COOP same-origin, CORP cross-origin';
    },
  },
  {
    name: 'wasm',
    title: 'WebAssembly',
    async run() {
      // instantiateStreaming insists on the application/wasm content type,
      // so this also checks what the shell says about .wasm files.
      const { instance } = await WebAssembly.instantiateStreaming(fetch('wasm/math.wasm'));
      const e = instance.exports;
      const gcd = e.gcd(1071, 462);
      const fib = e.fib(50);
      const bytes = new Uint8Array(e.memory.buffer, e.greetingPtr(), e.greetingLen());
      const greeting = new TextDecoder().decode(bytes);
      if (gcd !== 21) fail(`gcd(1071, 462) gave ${gcd}`);
      if (fib !== 12586269025n) fail(`fib(50) gave ${fib}`);
      if (greeting !== 'Hello from WebAssembly') fail(`greeting read back as "${greeting}"`);
      return `wasm/math.wasm streamed: gcd(1071, 462) = ${gcd}, fib(50) = ${fib}, "${greeting}"`;
    },
  },
  {
    name: 'cache-busting',
    title: 'Cache-busting queries',
    async run() {
      // Build tools add "?v=…" to addresses so that a new release is never
      // read from a cache; the shell must still find the file and type it
      // by its name.
      const response = await fetch('data/info.json?v=2', { cache: 'no-store' });
      const type = response.headers.get('content-type') || '(none)';
      if (!type.startsWith('application/json')) fail(`data/info.json?v=2 has content type ${type}`);
      if (typeof (await response.json()).name !== 'string') fail('data/info.json?v=2 has no "name"');
      const { instance } = await WebAssembly.instantiateStreaming(fetch('wasm/math.wasm?v=2#build'));
      if (instance.exports.gcd(12, 18) !== 6) fail('wasm/math.wasm?v=2 computed the wrong value');
      return 'data/info.json?v=2 and wasm/math.wasm?v=2 served with their types';
    },
  },
  {
    name: 'cross-origin-isolated',
    title: 'Cross-origin isolated',
    async run() {
      // True only when the page comes from a trustworthy origin with both
      // isolation headers; libraries test it before they start threads.
      if (self.crossOriginIsolated !== true) fail(`crossOriginIsolated is ${self.crossOriginIsolated} at ${location.origin}`);
      return `crossOriginIsolated is true at ${location.origin}`;
    },
  },
  {
    name: 'shared-memory',
    title: 'Shared memory',
    async run() {
      // The engine's shared memory switch works even without isolation, so
      // this check looks at what actually works; the one above checks the
      // flag.
      if (typeof SharedArrayBuffer !== 'function') fail('SharedArrayBuffer is not available');
      const sab = new SharedArrayBuffer(16);
      const view = new Int32Array(sab);
      Atomics.add(view, 0, 40);
      Atomics.add(view, 0, 2);
      if (Atomics.load(view, 0) !== 42) fail('Atomics.add on a SharedArrayBuffer gave the wrong value');
      const memory = new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
      if (!(memory.buffer instanceof SharedArrayBuffer)) fail('shared WebAssembly.Memory is not backed by a SharedArrayBuffer');
      return 'SharedArrayBuffer, Atomics and shared WebAssembly.Memory work';
    },
  },
  {
    name: 'threads',
    title: 'Threads',
    async run() {
      const workers = shared.info?.workers ?? 4;
      const perWorker = shared.info?.additionsPerWorker ?? 250000;
      const memory = new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
      const words = new Int32Array(memory.buffer);
      const COUNTER = 0;   // byte address of the running total
      const ARRIVALS = 4;  // byte address of the count of finished workers
      const wasmUrl = new URL('wasm/counter.wasm', document.baseURI).href;
      const started = performance.now();
      const running = [];
      const pending = [];
      try {
        for (let id = 0; id < workers; id++) {
          const worker = new Worker('js/worker.js');
          running.push(worker);
          pending.push(new Promise((resolve, reject) => {
            worker.onmessage = (event) => (event.data.ok ? resolve(event.data) : reject(new Error(event.data.error)));
            worker.onerror = (event) => reject(new Error(`worker ${id}: ${event.message || 'failed to start'}`));
          }));
          worker.postMessage({ id, memory, wasmUrl, counter: COUNTER, arrivals: ARRIVALS, count: perWorker, delta: 1 });
        }
        await Promise.all(pending);
      } finally {
        running.forEach((worker) => worker.terminate());
      }
      const total = Atomics.load(words, COUNTER / 4);
      const arrived = Atomics.load(words, ARRIVALS / 4);
      const expected = workers * perWorker;
      if (arrived !== workers) fail(`${arrived} of ${workers} workers arrived`);
      if (total !== expected) fail(`total ${total}, expected ${expected}`);
      const ms = Math.round(performance.now() - started);
      return `${workers} workers added ${expected.toLocaleString('en')} into one shared memory with atomics (${ms} ms)`;
    },
  },
];

const list = document.getElementById('checks');
const summary = document.getElementById('summary');
const rerun = document.getElementById('rerun');

function row(check) {
  const li = document.createElement('li');
  li.className = 'check pending';
  li.innerHTML = '<span class="mark">…</span><span class="name"></span><span class="text">waiting</span>';
  li.querySelector('.name').textContent = check.title;
  li.dataset.check = check.name;
  list.append(li);
  return li;
}

function show(li, ok, text) {
  li.className = `check ${ok ? 'ok' : 'fail'}`;
  li.querySelector('.mark').textContent = ok ? '✔' : '✘';
  li.querySelector('.text').textContent = text;
}

function showFacts() {
  const facts = {
    'Address scheme': location.protocol,
    'crossOriginIsolated': `${self.crossOriginIsolated}`,
    'Logical processors': navigator.hardwareConcurrency ?? 'unknown',
    'User agent': navigator.userAgent,
  };
  const dl = document.getElementById('facts');
  dl.replaceChildren();
  for (const [name, value] of Object.entries(facts)) {
    const dt = document.createElement('dt');
    dt.textContent = name;
    const dd = document.createElement('dd');
    dd.textContent = String(value);
    dl.append(dt, dd);
  }
}

async function runAll() {
  rerun.disabled = true;
  list.replaceChildren();
  summary.className = 'summary pending';
  summary.textContent = 'Running checks…';
  const rows = checks.map(row);
  let failed = 0;
  // One check at a time, so that the sentinel requests reach the trace in
  // the order the checks are listed.
  for (const [i, check] of checks.entries()) {
    let ok = true;
    let text;
    try {
      text = await withTimeout(check.run(), CHECK_TIMEOUT_MS, check.title);
    } catch (error) {
      ok = false;
      text = error && error.message ? error.message : String(error);
      failed++;
    }
    show(rows[i], ok, text);
    await report(`results/check-${check.name}-${ok ? 'ok' : 'fail'}.json`);
  }
  summary.className = `summary ${failed ? 'fail' : 'ok'}`;
  summary.textContent = failed ? `${failed} of ${checks.length} failed` : `All ${checks.length} checks passed`;
  await report(failed ? 'results/some-failed.json' : 'results/all-ok.json');
  rerun.disabled = false;
}

showFacts();
rerun.addEventListener('click', runAll);
runAll();
