// Where the browser tests find the web build and put what people should look at,
// scratch copies of the build with files taken away or damaged, and waits on the
// page's state (document.body.dataset.state: loading, start, running, end, failed).
import { cpSync, mkdirSync, mkdtempSync, rmSync, truncateSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const REPO = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const WEB_BUILD = process.env.OKU_WEB_BUILD || path.join(REPO, 'build/web');
export const NATIVE_RUN = process.env.OKU_NATIVE_RUN || path.join(REPO, 'build/release/run');
// Screenshots and side-by-side stills land here, one folder per test file.
export const OUTPUT = process.env.OKU_WEB_TEST_OUTPUT || path.join(REPO, 'build/web-test');

export function outputFolder(name) {
  const folder = path.join(OUTPUT, name);
  mkdirSync(folder, { recursive: true });
  return folder;
}

// A copy of the web build with some data files removed ({remove: path}) or cut
// short ({truncate: path, bytes}); files.json stays as built, so the page still
// asks for every file.
export function damagedCopy(damages) {
  const folder = mkdtempSync(path.join(tmpdir(), 'oku-web-'));
  cpSync(WEB_BUILD, folder, { recursive: true });
  for (const damage of damages) {
    if (damage.remove) rmSync(path.join(folder, damage.remove));
    else truncateSync(path.join(folder, damage.truncate), damage.bytes);
  }
  return { folder, remove: () => rmSync(folder, { recursive: true, force: true }) };
}

export function pageState(page) {
  return page.evaluate(() => document.body.dataset.state);
}

export async function waitForState(page, states, timeout) {
  const wanted = [].concat(states);
  await page.waitForFunction((names) => names.includes(document.body.dataset.state), wanted, { timeout, polling: 250 });
  return pageState(page);
}

// The dialog's caption and text while it is open, or null.
export function openMessage(page) {
  return page.evaluate(() => {
    const dialog = document.getElementById('message');
    if (!dialog.open) return null;
    return {
      caption: document.getElementById('message-caption').textContent,
      text: document.getElementById('message-text').textContent,
    };
  });
}

// Presses OK on each message box as it comes until `count` have been seen; returns them in order.
export async function acceptMessages(page, count, timeout) {
  const seen = [];
  const deadline = Date.now() + timeout;
  while (seen.length < count) {
    const left = deadline - Date.now();
    if (left <= 0) break;
    try {
      await page.waitForSelector('#message[open]', { timeout: left });
    } catch {
      break;
    }
    seen.push(await openMessage(page));
    const answered = await page.getAttribute('#message', 'data-shown');
    await page.click('#message-ok');
    // Closed, or already the next box (the demo may raise it before the page paints).
    await page.waitForFunction((shown) => {
      const dialog = document.getElementById('message');
      return !dialog.open || dialog.dataset.shown !== shown;
    }, answered, { timeout: 60000, polling: 100 });
  }
  return seen;
}

export function frameCount(page) {
  return page.evaluate(() => (window.okuStats ? window.okuStats.frames.length : 0));
}

// Waits until the demo has presented `count` frames, or a message box is up, or the
// demo has ended or failed; says which. A message box in a run with every file
// intact is a fault the caller reports with its text.
export async function waitForFrames(page, count, timeout) {
  await page.waitForFunction((n) => document.getElementById('message').open ||
      ['end', 'failed'].includes(document.body.dataset.state) ||
      (window.okuStats && window.okuStats.frames.length >= n), count, { timeout, polling: 250 });
  return { frames: await frameCount(page), message: await openMessage(page), state: await pageState(page) };
}

export function describeMessage(message) {
  return message ? `a message box came up: "${message.caption}: ${message.text}"` : '';
}

// Waits for the end screen (or a failure, or a message box) and says what came:
// {state, frames, message, stalled}. A demo that presents no frame for `stall` ms
// is stalled: the wait stops there rather than running out its whole time.
export async function waitForEnd(page, { timeout, stall }) {
  const deadline = Date.now() + timeout;
  let last = -1;
  let lastChange = Date.now();
  for (;;) {
    const now = await page.evaluate(() => ({
      state: document.body.dataset.state,
      frames: window.okuStats ? window.okuStats.frames.length : 0,
      open: document.getElementById('message').open,
    }));
    if (now.state === 'end' || now.state === 'failed' || now.open)
      return { state: now.state, frames: now.frames, message: await openMessage(page), stalled: false };
    if (now.frames !== last) {
      last = now.frames;
      lastChange = Date.now();
    }
    if (Date.now() - lastChange > stall || Date.now() > deadline)
      return { state: now.state, frames: now.frames, message: null, stalled: true };
    await page.waitForTimeout(1000);
  }
}
