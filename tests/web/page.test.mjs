// The page around the demo in headless Chromium: what a viewer sees while the
// files arrive, at the start, in full screen and at the end, what a browser
// without WebGL 2 shows, and a program file that fails to download.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { openBrowser, openPage } from './support/browser.mjs';
import { serveFolder } from './support/static_server.mjs';
import { WEB_BUILD, describeMessage, outputFolder, waitForFrames, waitForState } from './support/site.mjs';

const screens = outputFolder('screens');
// A screenshot waits for the browser to show a frame, which a busy demo may hold up a while.
const shot = (page, name) => page.screenshot({ path: path.join(screens, `${name}.png`), timeout: 2 * 60000 });
const MINUTE = 60000;

let server;
let browser;
before(async () => {
  server = await serveFolder(WEB_BUILD);
  browser = await openBrowser();
});
after(async () => {
  await browser.close();
  await server.close();
});

describe('the page', () => {
  test('counts the bytes of files.json while loading, starts full screen on a click, ends when full screen is left and plays again', { timeout: 10 * MINUTE }, async () => {
    const manifest = JSON.parse(readFileSync(path.join(WEB_BUILD, 'files.json'), 'utf8')).files;
    const total = manifest.reduce((sum, file) => sum + file.size, 0);
    // The program arrives late, so the bar is seen part way.
    const { page, problems } = await openPage(browser, server.url, {
      beforeLoad: (p) => p.route('**/oku.wasm', async (route) => {
        await new Promise((resolve) => setTimeout(resolve, 1500));
        await route.continue();
      }),
    });
    await page.waitForFunction(() => /of/.test(document.getElementById('loading-text').textContent));
    const loading = await page.textContent('#loading-text');
    await shot(page, 'loading');
    assert.match(loading, new RegExp(`^[\\d.]+ MB of ${(total / 1e6).toFixed(1)} MB$`));

    assert.equal(await waitForState(page, ['start', 'failed'], 2 * MINUTE), 'start');
    assert.equal(await page.textContent('#loading-text'), `${(total / 1e6).toFixed(1)} MB of ${(total / 1e6).toFixed(1)} MB`);
    await shot(page, 'start');

    await page.click('#start-button');
    assert.equal(await waitForState(page, ['running', 'failed'], MINUTE), 'running');
    const first = await waitForFrames(page, 3, 3 * MINUTE);
    assert.equal(first.message, null, describeMessage(first.message));
    assert.equal(first.state, 'running');
    assert.equal(await page.evaluate(() => document.fullscreenElement && document.fullscreenElement.id), 'stage');
    await shot(page, 'running');

    await page.evaluate(() => document.exitFullscreen());
    assert.equal(await waitForState(page, ['end', 'failed'], MINUTE), 'end', 'leaving full screen ends the demo');
    await shot(page, 'end');

    await page.click('#play-again');
    assert.equal(await waitForState(page, ['running', 'failed'], MINUTE), 'running');
    const second = await waitForFrames(page, 3, 3 * MINUTE);
    assert.equal(second.message, null, describeMessage(second.message));
    assert.ok(second.frames >= 3, 'the second play draws frames of its own');
    await page.evaluate(() => document.exitFullscreen());
    await waitForState(page, ['end', 'failed'], MINUTE);
    assert.deepEqual(problems, []);
  });

  // The canvas's box on screen for a window of each size: the largest centred 4:3 rectangle.
  for (const [width, height, expected] of [
    [1024, 768, { x: 0, y: 0, width: 1024, height: 768 }],
    [1400, 600, { x: 300, y: 0, width: 800, height: 600 }],
    [600, 900, { x: 0, y: 225, width: 600, height: 450 }],
    [1920, 1080, { x: 240, y: 0, width: 1440, height: 1080 }],
  ]) {
    test(`keeps the picture 4:3 with black around it in a ${width} x ${height} window`, async () => {
      const { page } = await openPage(browser, server.url);
      await page.setViewportSize({ width, height });
      await waitForState(page, ['start', 'failed'], 2 * MINUTE);
      const box = await page.locator('#canvas').boundingBox();
      for (const key of Object.keys(expected)) assert.ok(Math.abs(box[key] - expected[key]) <= 1, `${key}: ${JSON.stringify(box)}`);
      assert.deepEqual(await page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]), [1024, 768]);
      await page.setViewportSize({ width: 1024, height: 768 });
    });
  }

  test('says in one sentence that WebGL 2 is missing, and downloads nothing', async () => {
    const requested = [];
    const { page } = await openPage(browser, server.url, {
      beforeLoad: async (p) => {
        p.on('request', (request) => requested.push(new URL(request.url()).pathname));
        await p.addInitScript(() => {
          const getContext = HTMLCanvasElement.prototype.getContext;
          HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
            return type === 'webgl2' ? null : getContext.call(this, type, ...rest);
          };
        });
      },
    });
    assert.equal(await waitForState(page, ['failed', 'start'], MINUTE), 'failed');
    await shot(page, 'no-webgl2');
    assert.match(await page.textContent('#failure-text'), /^oku needs WebGL 2, [^.]*\.$/);
    assert.ok(!requested.includes('/oku.wasm') && !requested.includes('/files.json'), requested.join(' '));
  });

  for (const { file, fault, reason } of [
    { file: 'oku.wasm', fault: (route) => route.fulfill({ status: 404, body: 'gone' }), reason: 'HTTP 404 Not Found' },
    { file: 'oku.js', fault: (route) => route.abort('failed'), reason: 'network error' },
    { file: 'files.json', fault: (route) => route.fulfill({ status: 500, body: 'broken' }), reason: 'HTTP 500' },
  ]) {
    test(`names ${file} and why when it cannot be downloaded (${reason})`, async () => {
      const { page } = await openPage(browser, server.url, { beforeLoad: (p) => p.route(`**/${file}`, fault) });
      assert.equal(await waitForState(page, ['failed', 'start'], 2 * MINUTE), 'failed');
      await shot(page, `failed-${file}`);
      const sentence = await page.textContent('#failure-text');
      assert.ok(sentence.startsWith(`Could not download ${file} (${reason}`), sentence);
      assert.equal(await page.evaluate(() => window.okuStats), undefined, 'the demo never started');
    });
  }
});
