// The whole demo in headless Chromium (SwiftShader's WebGL) on this machine, from
// opening the page to its end screen: the median frame time of each scene, from
// the page's record of presented frames (okuStats), and the time from opening the
// page to its first drawn frame. Run by bench/web_frame_time.sh, which measures
// the native scenes beside it; prints figures, asserts nothing.
//
//   node bench/web_frame_time.mjs [--speed N] [--native-outdoor MS] [--native-indoor MS]
import { openBrowser, openPage } from '../tests/web/support/browser.mjs';
import { serveFolder } from '../tests/web/support/static_server.mjs';
import { WEB_BUILD, waitForEnd } from '../tests/web/support/site.mjs';

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at >= 0 && at + 1 < process.argv.length ? Number(process.argv[at + 1]) : fallback;
}
const speed = option('--speed', 1);
const native = { outdoor: option('--native-outdoor', NaN), indoor: option('--native-indoor', NaN) };

function percentile(values, share) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))] : NaN;
}

// Frame times (ms between presented frames) inside [from, to) of the page's clock.
function frameTimes(frames, from, to) {
  const times = [];
  for (let i = 1; i < frames.length; ++i)
    if (frames[i - 1] >= from && frames[i] < to) times.push(frames[i] - frames[i - 1]);
  return times;
}

// Where each scene ran, from the sound log: the outdoor scene from the first frame
// to the stop of its track, the indoor scene from the start of its track (the end of
// its loading) to its stop. Without the log: the demo's clock from the first frame.
function sceneSpans(frames, log) {
  const at = (event, path) => {
    const entry = log.find((e) => e.event === event && e.path === path);
    return entry ? entry.time : undefined;
  };
  const outdoorEnd = at('stop', 'sound/helios.mp3');
  const indoorStart = at('play', 'sound/beast.mp3');
  const first = frames[0];
  return {
    outdoor: [first, outdoorEnd ?? first + 140000 / speed],
    indoor: [indoorStart ?? first + 165000 / speed, at('stop', 'sound/beast.mp3') ?? Infinity],
  };
}

const server = await serveFolder(WEB_BUILD);
const browser = await openBrowser({ autoplay: true });
let result;
try {
  const { page, problems } = await openPage(browser, `${server.url}?autostart&speed=${speed}`);
  const end = await waitForEnd(page, { timeout: 30 * 60000, stall: 3 * 60000 });
  result = await page.evaluate(() => ({
    state: document.body.dataset.state,
    message: document.getElementById('message').open ? document.getElementById('message-text').textContent : null,
    stats: window.okuStats,
    log: globalThis.okuSoundLog || [],
  }));
  result.problems = problems;
  result.stalled = end.stalled;
} finally {
  await browser.close();
  await server.close();
}

if (result.state !== 'end') {
  const why = result.message ? `message box: ${result.message}` : result.stalled ? 'no frame for 3 minutes' : result.state;
  console.log(`web build: the demo did not reach its end (${why}; ${result.stats ? result.stats.frames.length : 0} frames)`);
  process.exit(1);
}
const frames = result.stats.frames;
const spans = sceneSpans(frames, result.log);
console.log(`web build in headless Chromium (SwiftShader), clock at ${speed}x, ${frames.length} frames`);
console.log(`  first frame          ${result.stats.firstFrameMs.toFixed(0)} ms after opening the page (localhost)`);
for (const scene of ['outdoor', 'indoor']) {
  const times = frameTimes(frames, ...spans[scene]);
  const median = percentile(times, 0.5);
  const ratio = Number.isFinite(native[scene]) ? `   native ${native[scene].toFixed(2)} ms   web / native ${(median / native[scene]).toFixed(2)}x` : '';
  console.log(`  ${scene.padEnd(8)} median ${median.toFixed(2).padStart(8)} ms   p95 ${percentile(times, 0.95).toFixed(2).padStart(8)} ms   (${times.length} frames)${ratio}`);
}
if (result.problems.length) console.log(`  console errors: ${result.problems.length}, the first: ${result.problems[0]}`);
