// The whole demo in headless Chromium on a faster clock: both scenes to the end
// screen with no console error, and both tracks decoded whole by Web Audio.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { openBrowser, openPage } from './support/browser.mjs';
import { serveFolder } from './support/static_server.mjs';
import { WEB_BUILD, describeMessage, outputFolder, waitForEnd } from './support/site.mjs';

const SPEED = Number(process.env.OKU_WEB_TEST_SPEED || 10);
const TRACKS = { 'sound/helios.mp3': 178, 'sound/beast.mp3': 95 };  // seconds

let server;
let browser;
before(async () => {
  server = await serveFolder(WEB_BUILD);
  browser = await openBrowser({ autoplay: true });
});
after(async () => {
  await browser.close();
  await server.close();
});

test(`plays both scenes to the end screen at ${SPEED} times speed with no console error`, { timeout: 20 * 60000 }, async () => {
  const { page, problems } = await openPage(browser, `${server.url}?autostart&speed=${SPEED}`);
  const end = await waitForEnd(page, { timeout: 19 * 60000, stall: 3 * 60000 });
  assert.equal(end.message, null, describeMessage(end.message));
  const sounds = await page.evaluate(() => (globalThis.okuSoundLog || []).map((e) => `${e.event} ${e.path || ''}`).join(', '));
  assert.ok(!end.stalled, `no end screen: ${end.frames} frames, then none for 3 minutes (state ${end.state}; sound: ${sounds})`);
  await page.screenshot({ path: path.join(outputFolder('screens'), 'end-of-whole-demo.png') });
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'end',
    await page.evaluate(() => document.getElementById('failure-text').textContent));
  assert.equal(await page.evaluate(() => window.okuExitCode), 0);
  assert.deepEqual(problems, []);

  const stats = await page.evaluate(() => ({ first: window.okuStats.firstFrameMs, frames: window.okuStats.frames.length }));
  console.log(`${stats.frames} frames, the first ${Math.round(stats.first)} ms after the page was opened`);
  const decoded = await page.evaluate(() => (globalThis.okuSoundLog || []).filter((entry) => entry.event === 'decoded'));
  for (const [track, seconds] of Object.entries(TRACKS)) {
    const entry = decoded.find((e) => e.path === track);
    assert.ok(entry, `${track} was never decoded: ${JSON.stringify(decoded)}`);
    assert.ok(Math.abs(entry.duration - seconds) < 1, `${track} decoded to ${entry.duration} s, not ${seconds} s`);
  }
});
