"use strict";
// Makes the show's data files off the page's thread with the generator built for the web
// (data_files.cpp, data.wasm). Told { part, parts }, it makes files part, part + parts, ..., so
// that workers side by side share them; it posts { file: name, bytes: ArrayBuffer } for each, then
// { done: true }; or { failed: why }.

const imports = {
  env: { emscripten_notify_memory_growth() {} },
  wasi_snapshot_preview1: {
    proc_exit(code) {
      throw new Error("the data module stopped with status " + code);
    },
  },
};

// Compiled as it arrives, and kept compiled by the browser for the next visit; a host that does not
// send it as application/wasm gets it compiled from its bytes.
async function instantiate() {
  try {
    return (await WebAssembly.instantiateStreaming(fetch("data.wasm"), imports)).instance;
  } catch (error) {
    const response = await fetch("data.wasm");
    if (!response.ok) throw new Error("data.wasm: " + response.status);
    return (await WebAssembly.instantiate(await response.arrayBuffer(), imports)).instance;
  }
}

async function makeDataFiles(part, parts) {
  const instance = await instantiate();
  const data = instance.exports;
  data._initialize();
  const name = (at) => {
    const bytes = new Uint8Array(data.memory.buffer, at);
    return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
  };
  for (let i = part; i < data.data_file_count(); i += parts) {
    const at = data.data_file_make(i);
    // A copy of its own, handed over whole.
    const bytes = new Uint8Array(data.memory.buffer, at, data.data_file_size()).slice().buffer;
    postMessage({ file: name(data.data_file_name(i)), bytes }, [bytes]);
  }
  postMessage({ done: true });
}

onmessage = (event) => {
  makeDataFiles(event.data.part, event.data.parts)
    .catch((error) => postMessage({ failed: String(error) }));
};
