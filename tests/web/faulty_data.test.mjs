// Missing and damaged data in a copy of the web build, as the desktop's own fault
// tests damage the run directory: the page names each file that did not arrive,
// the dialog shows the desktop's captions and texts in the desktop's order, and
// the demo goes on drawing after OK.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { openBrowser, openPage } from './support/browser.mjs';
import { serveFolder } from './support/static_server.mjs';
import { acceptMessages, damagedCopy, frameCount, openMessage, outputFolder, waitForFrames } from './support/site.mjs';

const MINUTE = 60000;
const CASES = [
  {
    name: "the outdoor scene's textures and grass program at start-up",
    query: '?autostart',
    damages: [
      { truncate: 'textures/Moss0040_S.tga', bytes: 5000 },
      { remove: 'textures/tGrass.tga' },
      { remove: 'Cg/Grass_vertex.cg' },
    ],
    boxes: [
      { caption: 'ERROR', text: 'Could not read image data' },
      { caption: 'ERROR', text: 'Could not open texture file' },
      { caption: 'So a Schaß', text: 'Kein Vertex Shader' },
    ],
  },
  {
    name: "the indoor scene's floor and pipe joint",
    query: '?autostart&speed=20',
    damages: [
      { truncate: 'textures/Diffuse.tga', bytes: 5000 },
      { remove: 'textures/pipe_joint_diffuse.tga' },
    ],
    boxes: [
      { caption: 'ERROR', text: 'Could not read image data' },
      { caption: 'ERROR', text: 'Could not open texture file' },
    ],
  },
];

let browser;
before(async () => {
  browser = await openBrowser({ autoplay: true });
});
after(async () => {
  await browser.close();
});

describe('damaged or missing data', () => {
  for (const faulty of CASES) {
    test(faulty.name, { timeout: 10 * MINUTE }, async () => {
      const copy = damagedCopy(faulty.damages);
      const server = await serveFolder(copy.folder);
      try {
        const { page } = await openPage(browser, server.url + faulty.query);
        const boxes = await acceptMessages(page, faulty.boxes.length, 8 * MINUTE);
        assert.deepEqual(boxes, faulty.boxes);

        const missing = await page.textContent('#missing-files');
        for (const damage of faulty.damages.filter((d) => d.remove))
          assert.ok(missing.includes(`${damage.remove} could not be loaded (HTTP 404`), missing);

        // The demo goes on: more frames, and no box beyond the expected ones.
        const before = await frameCount(page);
        const after = await waitForFrames(page, before + 3, 3 * MINUTE);
        assert.equal(await openMessage(page), null);
        assert.ok(after.frames >= before + 3 || after.state === 'end', JSON.stringify(after));
        await page.screenshot({ path: path.join(outputFolder('screens'), `faulty-${faulty.boxes.length}-boxes.png`) });
      } finally {
        await server.close();
        copy.remove();
      }
    });
  }
});
