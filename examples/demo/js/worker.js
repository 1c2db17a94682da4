// One thread of the demo's thread check. The page posts the shared
// WebAssembly memory to each worker; the worker instantiates the same
// counter module against that memory and adds into it with atomic
// instructions, then records its arrival in the memory as well.
self.onmessage = async (event) => {
  const { id, memory, wasmUrl, counter, arrivals, count, delta } = event.data;
  try {
    if (!(memory instanceof WebAssembly.Memory)) throw new Error('no shared memory arrived');
    const { instance } = await WebAssembly.instantiateStreaming(fetch(wasmUrl), { env: { memory } });
    instance.exports.addMany(counter, count, delta);
    instance.exports.arrive(arrivals);
    self.postMessage({ id, ok: true });
  } catch (error) {
    self.postMessage({ id, ok: false, error: `worker ${id}: ${error && error.message ? error.message : error}` });
  }
};
