// The page around the demo module. It checks that the browser can draw the demo,
// downloads every file that files.json lists while a bar counts the bytes, waits
// for a click (browsers start sound and full screen only after a gesture), runs
// the module on the canvas, shows the demo's message boxes as a dialog and, at the
// end, offers to play again from what it downloaded.
//
// Address parameters: ?still=S draws the frame at demo second S, silently and
// without a click, pixel for pixel at the top-left; ?speed=N runs the demo's clock
// N times faster; ?autostart starts without waiting for a click.
'use strict';

(() => {
  const MANIFEST = 'files.json';
  const PROGRAM = 'oku.js';
  const WASM = 'oku.wasm';
  const PARALLEL_DOWNLOADS = 4;
  const SOUND_FILE = /^sound\/.+\.mp3$/i;
  // What the demo draws into: a 1024 x 768 picture, a 1024 x 1024 viewport for the
  // scenes' cameras, and render targets up to 1024 pixels wide.
  const NEEDED_SIZE = 1024;

  const element = (id) => document.getElementById(id);
  const stage = element('stage');
  const screens = ['loading', 'start', 'end', 'failure'];

  let settings = { still: undefined, speed: 1, autostart: false };
  let audio = null;       // {context, decoded: Map<path, Promise<AudioBuffer>>}, or null
  let downloaded = null;  // {wasm: ArrayBuffer, data: [{path, bytes}]}
  let running = false;
  let failed = false;
  let runs = 0;

  function setState(state) {
    document.body.dataset.state = state;
  }

  function showScreen(name) {
    for (const id of screens) element(id).hidden = id !== name;
  }

  // One sentence on the page instead of the demo; the console gets it as an error.
  function fail(sentence) {
    if (failed) return;
    failed = true;
    running = false;
    console.error(`oku: ${sentence}`);
    element('failure-text').textContent = sentence;
    showScreen('failure');
    setState('failed');
  }

  // ---- Address parameters -------------------------------------------------------

  function readSettings(query) {
    const number = (name, valid, meaning) => {
      if (!query.has(name)) return undefined;
      const text = query.get(name);
      const value = text.trim() === '' ? NaN : Number(text);
      if (!Number.isFinite(value) || !valid(value))
        throw new Error(`The address asks for ${name}=${text}, which is not ${meaning}.`);
      return value;
    };
    return {
      still: number('still', (v) => v >= 0, 'a number of seconds (0 or more)'),
      speed: number('speed', (v) => v > 0, 'a speed above 0') ?? 1,
      autostart: query.has('autostart'),
    };
  }

  // ---- What the browser offers ----------------------------------------------------

  // Null when a WebGL 2 context on a scratch canvas has what the demo needs, else the
  // sentence to show.
  function webglProblem() {
    let gl = null;
    try {
      gl = document.createElement('canvas').getContext('webgl2');
    } catch (error) {
      gl = null;
    }
    if (!gl) return 'oku needs WebGL 2, which this browser does not offer or has turned off.';
    const viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
    const limits = [
      ['textures', gl.getParameter(gl.MAX_TEXTURE_SIZE)],
      ['render buffers', gl.getParameter(gl.MAX_RENDERBUFFER_SIZE)],
      ['viewports', viewport ? Math.min(viewport[0], viewport[1]) : 0],
    ];
    const lose = gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    for (const [what, size] of limits) {
      if (!(size >= NEEDED_SIZE))
        return `oku needs WebGL 2 with ${what} of at least ${NEEDED_SIZE} x ${NEEDED_SIZE} pixels; ` +
               `this browser offers ${size} x ${size}.`;
    }
    return null;
  }

  function makeAudio() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      console.warn('oku: this browser has no Web Audio; the demo plays without sound');
      return null;
    }
    try {
      return { context: new Context(), decoded: new Map() };
    } catch (error) {
      console.warn(`oku: no audio context (${error.message}); the demo plays without sound`);
      return null;
    }
  }

  // ---- Downloads -----------------------------------------------------------------

  class DownloadFailure extends Error {
    constructor(path, reason) {
      super(`${path}: ${reason}`);
      this.path = path;
      this.reason = reason;
    }
  }

  function networkReason(error) {
    if (error && error.name === 'AbortError') return 'cancelled';
    return error && error.message ? `network error: ${error.message}` : 'network error';
  }

  // The file's bytes; onBytes(n) hears how many have arrived so far.
  async function download(path, signal, onBytes) {
    let response;
    try {
      response = await fetch(path, { signal, cache: path === MANIFEST ? 'no-cache' : 'default' });
    } catch (error) {
      throw new DownloadFailure(path, networkReason(error));
    }
    if (!response.ok) {
      const status = `HTTP ${response.status}${response.statusText ? ` ${response.statusText}` : ''}`;
      throw new DownloadFailure(path, status);
    }
    const chunks = [];
    let length = 0;
    try {
      const reader = response.body.getReader();
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        chunks.push(value);
        length += value.length;
        onBytes(length);
      }
    } catch (error) {
      throw new DownloadFailure(path, networkReason(error));
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  async function readManifest() {
    const bytes = await download(MANIFEST, undefined, () => {});
    let files;
    try {
      files = JSON.parse(new TextDecoder().decode(bytes)).files;
    } catch (error) {
      files = undefined;
    }
    const valid = Array.isArray(files) &&
        files.every((f) => f && typeof f.path === 'string' && Number.isFinite(f.size) && f.size >= 0);
    if (!valid) throw new Error(`${MANIFEST} is not a list of files with their sizes.`);
    for (const name of [PROGRAM, WASM])
      if (!files.some((f) => f.path === name)) throw new Error(`${MANIFEST} does not list ${name}.`);
    return files;
  }

  function megabytes(bytes) {
    return `${(bytes / 1e6).toFixed(1)} MB`;
  }

  // The loading bar: bytes arrived of the manifest's total, redrawn once per frame.
  class LoadingBar {
    constructor(total) {
      this.total = total;
      this.arrived = new Map();
      this.drawPending = false;
    }
    set(path, bytes) {
      this.arrived.set(path, bytes);
      if (this.drawPending) return;
      this.drawPending = true;
      requestAnimationFrame(() => this.draw());
    }
    draw() {
      this.drawPending = false;
      let sum = 0;
      for (const bytes of this.arrived.values()) sum += bytes;
      const loaded = Math.min(sum, this.total);
      const share = this.total > 0 ? loaded / this.total : 1;
      element('loading-done').style.width = `${(100 * share).toFixed(2)}%`;
      element('loading-text').textContent = `${megabytes(loaded)} of ${megabytes(this.total)}`;
    }
  }

  function noteMissing(failure) {
    const line = document.createElement('li');
    line.textContent = `${failure.path} could not be loaded (${failure.reason}); the demo goes on without it.`;
    element('missing-files').appendChild(line);
    console.warn(`oku: ${failure.path} could not be loaded (${failure.reason})`);
  }

  function startDecoding(path, bytes) {
    if (!audio || !SOUND_FILE.test(path)) return;
    // decodeAudioData takes the buffer away; the module keeps nothing of these bytes.
    const decoding = audio.context.decodeAudioData(bytes.slice(0).buffer);
    decoding.catch((error) => console.warn(`oku: ${path} could not be decoded (${error && error.message})`));
    audio.decoded.set(path, decoding);
  }

  // Everything the manifest lists, a few at a time, the program first. A program file
  // that fails ends the page; a data file that fails is left out (the demo reports
  // what it misses as on the desktop).
  async function downloadAll(files) {
    const bar = new LoadingBar(files.reduce((sum, f) => sum + f.size, 0));
    bar.draw();
    const isProgram = (path) => path === PROGRAM || path === WASM;
    const queue = [...files.filter((f) => isProgram(f.path)), ...files.filter((f) => !isProgram(f.path))];
    const controller = new AbortController();
    const result = { program: null, wasm: null, data: [] };

    async function worker() {
      while (queue.length && !controller.signal.aborted) {
        const { path, size } = queue.shift();
        try {
          const bytes = await download(path, controller.signal, (n) => bar.set(path, n));
          if (path === PROGRAM) result.program = bytes;
          else if (path === WASM) result.wasm = bytes.buffer;
          else {
            result.data.push({ path, bytes });
            startDecoding(path, bytes);
          }
        } catch (error) {
          if (controller.signal.aborted) return;
          if (!(error instanceof DownloadFailure) || isProgram(path)) {
            controller.abort();
            throw error;
          }
          noteMissing(error);
        }
        bar.set(path, size);
      }
    }
    await Promise.all(Array.from({ length: PARALLEL_DOWNLOADS }, worker));
    bar.draw();
    return result;
  }

  // Runs oku.js from the bytes already counted, which defines createOku.
  function loadProgram(bytes) {
    return new Promise((resolve, reject) => {
      const url = URL.createObjectURL(new Blob([bytes], { type: 'text/javascript' }));
      const script = document.createElement('script');
      script.src = url;
      script.onload = () => {
        URL.revokeObjectURL(url);
        if (typeof window.createOku === 'function') resolve();
        else reject(new Error(`${PROGRAM} does not define createOku.`));
      };
      script.onerror = () => reject(new Error(`${PROGRAM} could not be run.`));
      document.head.appendChild(script);
    });
  }

  // ---- The demo's message boxes -----------------------------------------------------

  // One dialog at a time: each box waits for the ones before it; the promise settles
  // when its OK is pressed (or the dialog is dismissed with Escape).
  let messageQueue = Promise.resolve();
  let messagesShown = 0;

  function showOneMessage(caption, text) {
    return new Promise((resolve) => {
      const dialog = element('message');
      // Counts the boxes, so a test can tell the next box from the one it answered.
      dialog.dataset.shown = String(++messagesShown);
      element('message-caption').textContent = caption;
      element('message-text').textContent = text;
      dialog.addEventListener('close', () => resolve(), { once: true });
      dialog.showModal();
      element('message-ok').focus();
    });
  }

  function showMessage(caption, text) {
    const shown = messageQueue.then(() => showOneMessage(String(caption ?? ''), String(text ?? '')));
    messageQueue = shown;
    return shown;
  }

  // ---- Running the demo -------------------------------------------------------------

  function writeDataFiles(fs, data) {
    if (!fs || typeof fs.writeFile !== 'function') throw new Error(`${PROGRAM} does not export FS.`);
    for (const { path, bytes } of data) {
      const slash = path.lastIndexOf('/');
      if (slash > 0) fs.mkdirTree(`/${path.slice(0, slash)}`);
      fs.writeFile(`/${path}`, bytes);
    }
  }

  // A new canvas for each run, so that a new module instance starts from a new
  // WebGL context; the last run's context is let go at once.
  function freshCanvas() {
    const old = element('canvas');
    const canvas = document.createElement('canvas');
    canvas.id = 'canvas';
    canvas.width = 1024;
    canvas.height = 768;
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    if (runs > 0) {
      const gl = old.getContext('webgl2') || old.getContext('webgl');
      const lose = gl && gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
    }
    old.replaceWith(canvas);
    return canvas;
  }

  function showEnd(code) {
    window.okuExitCode = code;
    running = false;
    if (failed) return;
    setState('end');
    if (settings.still !== undefined) return;
    element('end').querySelector('p').textContent =
        code === 0 || code === undefined ? 'The end.' : `The demo ended with status ${code}.`;
    showScreen('end');
    element('play-again').focus();
  }

  function describe(reason) {
    if (reason instanceof Error) return reason.message;
    return String(reason);
  }

  function run() {
    const canvas = freshCanvas();
    runs += 1;
    running = true;
    const stats = { firstFrameMs: undefined, frames: [] };
    window.okuStats = stats;
    window.okuExitCode = undefined;
    showScreen(null);
    document.body.classList.add('running');
    setState('running');

    let ended = false;
    const moduleArgs = {
      canvas,
      wasmBinary: downloaded.wasm,
      preRun: [(mod) => writeDataFiles(mod.FS, downloaded.data)],
      okuStill: settings.still,
      okuSpeed: settings.speed,
      okuAudio: settings.still === undefined ? audio : null,
      okuShowMessage: showMessage,
      okuOnFrame: (nowMs) => {
        const at = typeof nowMs === 'number' ? nowMs : performance.now();
        if (stats.firstFrameMs === undefined) stats.firstFrameMs = at;
        stats.frames.push(at);
      },
      onExit: (code) => {
        ended = true;
        showEnd(code);
      },
      onAbort: (what) => {
        ended = true;
        fail(`The demo stopped with an error: ${describe(what)}`);
      },
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    };
    window.createOku(moduleArgs).catch((reason) => {
      if (!ended) fail(`The demo could not start: ${describe(reason)}`);
    });
  }

  function settleWithin(promise, ms) {
    return Promise.race([promise.then(() => {}, () => {}), new Promise((resolve) => setTimeout(resolve, ms))]);
  }

  // From a click: full screen (asked for before anything is awaited, while the
  // gesture counts) and sound, then the demo.
  async function start(fromGesture) {
    if (running || failed) return;
    running = true;
    let fullScreen = Promise.resolve();
    if (fromGesture && !document.fullscreenElement && stage.requestFullscreen) {
      fullScreen = stage.requestFullscreen({ navigationUI: 'hide' });
      fullScreen.catch((error) => console.warn(`oku: no full screen (${error.message}); playing in the page`));
    }
    // A context the browser still holds back stays suspended: the demo then plays
    // silently rather than waiting.
    if (audio && audio.context.state !== 'running') await settleWithin(audio.context.resume(), 500);
    await settleWithin(fullScreen, 1000);
    run();
  }

  async function main() {
    setState('loading');
    try {
      settings = readSettings(new URLSearchParams(location.search));
    } catch (error) {
      fail(error.message);
      return;
    }
    if (settings.still !== undefined) document.body.classList.add('still');
    const problem = webglProblem();
    if (problem) {
      fail(problem);
      return;
    }
    if (settings.still === undefined) audio = makeAudio();
    showScreen('loading');

    let files;
    try {
      files = await downloadAll(await readManifest());
      await loadProgram(files.program);
    } catch (error) {
      fail(error instanceof DownloadFailure ? `Could not download ${error.path} (${error.reason}).` : error.message);
      return;
    }
    downloaded = { wasm: files.wasm, data: files.data };

    element('start-button').addEventListener('click', () => start(true));
    element('play-again').addEventListener('click', () => start(true));
    if (settings.still !== undefined || settings.autostart) {
      start(false);
      return;
    }
    setState('start');
    showScreen('start');
    element('start-button').focus();
  }

  main();
})();
