// The web page in Debian's chromium, headless, as a player uses it:
//   node page_test.js SITE_DIR DESKTOP_OPENING_PNG FIXTURE_RUN OUT_DIR
// Serves SITE_DIR on a free port of its own; writes the downloaded run into
// OUT_DIR (checked afterwards with the native checker) and prints what it
// measured. Exit 0 when every check held; each failure is one line.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [siteDir, desktopOpening, fixtureRun, outDir] = process.argv.slice(2);
const kinds = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.data': 'application/octet-stream' };
let failures = 0;
function check(held, what) {
  console.log((held ? 'ok   ' : 'FAIL ') + what);
  if (!held) failures++;
}
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

function serve() {
  const server = http.createServer((request, response) => {
    const name = request.url === '/' ? 'index.html' : path.basename(request.url.split('?')[0]);
    fs.readFile(path.join(siteDir, name), (error, bytes) => {
      if (error) { response.writeHead(404); response.end(); return; }
      response.writeHead(200, { 'Content-Type': kinds[path.extname(name)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// Waits for `condition` (a function run in the page) to hold, at most `ms`.
async function waitFor(page, condition, ms, ...args) {
  try {
    await page.waitForFunction(condition, { timeout: ms, polling: 50 }, ...args);
    return true;
  } catch (e) {
    return false;
  }
}

// The canvas as the page shows it, compared in the page with the desktop's
// picture of the same frame: the share of pixels whose channels differ by
// more than `near`, and the mean difference of a channel.
async function compareWithDesktop(page, near) {
  const canvas = await page.$('#canvas');
  const shot = await canvas.screenshot({ encoding: 'base64' });
  const desktop = fs.readFileSync(desktopOpening).toString('base64');
  return page.evaluate(async (webPng, desktopPng, near) => {
    const pixels = async (png) => {
      const image = new Image();
      image.src = 'data:image/png;base64,' + png;
      await image.decode();
      const canvas = document.createElement('canvas');
      canvas.width = 800;
      canvas.height = 600;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0, 800, 600);
      return context.getImageData(0, 0, 800, 600).data;
    };
    const a = await pixels(webPng);
    const b = await pixels(desktopPng);
    let far = 0;
    let sum = 0;
    for (let i = 0; i < a.length; i += 4) {
      let most = 0;
      for (let c = 0; c < 3; c++) {
        const d = Math.abs(a[i + c] - b[i + c]);
        sum += d;
        most = Math.max(most, d);
      }
      if (most > near) far++;
    }
    return { farShare: far / (a.length / 4), meanDiff: sum / (a.length / 4 * 3) };
  }, shot, desktop, near);
}

(async () => {
  const server = await serve();
  const address = 'http://127.0.0.1:' + server.address().port + '/';
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: 'new',
    userDataDir: fs.mkdtempSync(path.join(outDir, 'profile-')),
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'],
  });
  try {
    const page = await browser.newPage();
    page.on('pageerror', (error) => console.log('page error: ' + error.message));
    // The canvas at its own size: the viewport leaves the stage 800 pixels wide.
    await page.setViewport({ width: 832, height: 900 });
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: outDir });

    // The opening picture of a run, waiting for the player.
    await page.goto(address);
    check(await waitFor(page, () => window.nombrePage.state === 'ready', 20000), 'the page opens and waits for a click or a key');
    const firstFrameMs = await page.evaluate(() => window.nombrePage.firstFrameMs);
    // A figure to read, not a check: how long depends on what else the machine does.
    console.log('     first frame drawn ' + Math.round(firstFrameMs) + ' ms after the page began to load');
    await page.evaluate(() => { document.getElementById('start').hidden = true; });
    const same = await compareWithDesktop(page, 24);
    console.log('     against the desktop: ' + (same.farShare * 100).toFixed(3) + '% of pixels differ by more than 24, mean difference ' + same.meanDiff.toFixed(3));
    check(same.farShare < 0.005 && same.meanDiff < 1.0, "the opening frame is the desktop's picture");
    await page.evaluate(() => { document.getElementById('start').hidden = false; });

    // A key starts a run, with its music.
    await page.keyboard.press('Enter');
    check(await waitFor(page, () => window.nombrePage.state === 'playing', 2000), 'a key starts the run');
    check(await waitFor(page, () => {
      const contexts = Object.values(AL.contexts || {}).filter((c) => c);
      return contexts.some((c) => c.audioCtx.state === 'running') &&
        contexts.some((c) => Object.values(c.sources || {}).some((s) => s && s.state === 0x1012));
    }, 5000), 'the music plays');

    // The arrows walk the hero and never scroll the page.
    const x0 = await page.evaluate(() => Module._nombreHeroX());
    await page.keyboard.down('ArrowRight');
    await sleep(800);
    await page.keyboard.up('ArrowRight');
    const x1 = await page.evaluate(() => Module._nombreHeroX());
    check(x1 > x0, 'the right arrow walks the hero on (' + x0.toFixed(3) + ' to ' + x1.toFixed(3) + ')');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Space');
    check(await page.evaluate(() => window.scrollY) === 0, 'arrows and space do not scroll the page');

    // The hero strikes the first group until a blow scores.
    for (let i = 0; i < 120 && await page.evaluate(() => Module._nombreScore()) === 0; i++) {
      await page.keyboard.press(i % 2 ? 'KeyX' : 'KeyZ');
      await sleep(120);
    }
    const score = await page.evaluate(() => Number(Module._nombreScore()));
    check(score > 0, 'punches and kicks land: the run scores ' + score);

    // The page losing the focus pauses play in the menu.
    await page.evaluate(() => window.dispatchEvent(new Event('blur')));
    check(await waitFor(page, () => Module._nombreMenuOpen() === 1, 2000), 'leaving the page pauses the game');

    // SALIR in the menu ends the run: it is offered for download, and checks.
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    check(await waitFor(page, () => window.nombrePage.state === 'ended' && !document.getElementById('ended').hidden, 3000),
      'Exit in the menu ends the run and offers Play again and Download');
    await page.click('#download');
    const downloaded = path.join(outDir, 'nombre-run.nrep');
    for (let i = 0; i < 100 && !fs.existsSync(downloaded); i++) await sleep(50);
    check(fs.existsSync(downloaded), 'the run downloads as nombre-run.nrep');
    // Blows already under way may have scored since: the run's score is the one it ended with.
    const finalScore = await page.evaluate(() => Number(Module._nombreScore()));
    check(await waitFor(page, (s) => document.getElementById('scores').textContent.includes(String(s)), 3000, finalScore),
      'the best runs show the score ' + finalScore);
    const scores = await page.evaluate(() => document.getElementById('scores').textContent);

    // A reload keeps the best runs.
    await page.reload();
    await waitFor(page, () => window.nombrePage.state === 'ready', 20000);
    const scoresAfter = await page.evaluate(() => document.getElementById('scores').textContent);
    check(scoresAfter === scores && scoresAfter.includes(String(finalScore)), 'a reload keeps the best runs');

    // A file that is not a run: one line, and nothing else changes.
    const notRun = path.join(outDir, 'notes.nrep');
    fs.writeFileSync(notRun, 'a shopping list\n');
    await (await page.$('#watch')).uploadFile(notRun);
    check(await waitFor(page, () => window.nombrePage.lines.some((l) => l.startsWith('notes.nrep is not a run: ')), 2000) &&
      await page.evaluate(() => window.nombrePage.state === 'ready'), 'a file that is not a run is named, and why');
    console.log('  ' + await page.evaluate(() => document.getElementById('line').textContent));

    // A recorded run watched to its end.
    await (await page.$('#watch')).uploadFile(fixtureRun);
    check(await waitFor(page, () => window.nombrePage.state === 'watching', 2000), 'a run file plays back');
    check(await waitFor(page, () => window.nombrePage.state === 'watched', 60000), 'the watched run reaches its end');
    const line = await page.evaluate(() => document.getElementById('line').textContent);
    check(line.endsWith('it ends as the run did'), 'the watched run ends as recorded: ' + line);
    const cost = await page.evaluate(() => [Module._nombrePasses(), Module._nombrePassMs(0.5), Module._nombrePassMs(0.9)]);
    console.log('     the watched run in the page: ' + cost[0] + ' passes, a pass ' + cost[1].toFixed(3) + ' ms median, ' +
      cost[2].toFixed(3) + ' ms at the 90th percentile');
    const frames = await page.evaluate(() => [Module._nombreFrameMs(), Module._nombreDrawsBetweenTicks()]);
    check(frames[0] > 0, "the browser's frames measured " + frames[0].toFixed(2) + ' ms apart: ' +
      (frames[1] ? 'play drawn between ticks' : 'a tick a frame'));

    // Play again: a new run from its first tick.
    check(await page.evaluate(() => !document.getElementById('ended').hidden), 'a watched run ended offers Play again');
    await page.click('#again');
    check(await waitFor(page, () => window.nombrePage.state === 'playing' && Module._nombreTicks() < 120, 2000),
      'Play again starts a new run');

    // The full-screen button puts the stage on the whole screen, and takes it back.
    await page.click('#fullscreen');
    check(await waitFor(page, () => document.fullscreenElement && document.fullscreenElement.id === 'stage', 2000),
      'the full-screen button fills the screen with the game');
    await page.click('#fullscreen');
    await waitFor(page, () => !document.fullscreenElement, 2000);

    // A browser that refuses its storage (a private window): one line, and play goes on.
    const refused = await browser.createBrowserContext();
    const privatePage = await refused.newPage();
    await privatePage.evaluateOnNewDocument(() => {
      Object.defineProperty(window, 'indexedDB', { get() { throw new Error('storage refused'); } });
    });
    await privatePage.goto(address);
    check(await waitFor(privatePage, () => window.nombrePage.state === 'ready', 20000), 'without storage the game still opens');
    const lines = await privatePage.evaluate(() => window.nombrePage.lines);
    check(lines.length === 1 && lines[0].includes('cannot be kept'), 'without storage, one line says so: ' + lines.join(' | '));
    await privatePage.keyboard.press('Enter');
    check(await waitFor(privatePage, () => window.nombrePage.state === 'playing' && Module._nombreTicks() > 30, 3000),
      'without storage, play goes on');
    await refused.close();

    // A pad of the browser's standard mapping: its D-pad walks the hero.
    const padded = await browser.createBrowserContext();
    const padPage = await padded.newPage();
    await padPage.evaluateOnNewDocument(() => {
      const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
      window.testPad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 1, axes: [0, 0, 0, 0], buttons };
      navigator.getGamepads = () => [window.testPad];
    });
    await padPage.goto(address);
    await waitFor(padPage, () => window.nombrePage.state === 'ready', 20000);
    await padPage.click('#start');
    await waitFor(padPage, () => window.nombrePage.state === 'playing', 2000);
    const padStart = await padPage.evaluate(() => Module._nombreHeroX());
    await padPage.evaluate(() => { window.testPad.buttons[15] = { pressed: true, touched: true, value: 1 }; });
    const padWalked = await waitFor(padPage, (x) => Module._nombreHeroX() > x + 0.05, 5000, padStart);
    await padPage.evaluate(() => { window.testPad.buttons[15] = { pressed: false, touched: false, value: 0 }; });
    check(padWalked, "a gamepad's D-pad walks the hero");
    await padded.close();
  } finally {
    await browser.close();
    server.close();
  }
  console.log(failures === 0 ? 'the page: every check held' : 'the page: ' + failures + ' checks failed');
  process.exit(failures === 0 ? 0 : 1);
})().catch((error) => {
  console.log('FAIL ' + error.stack);
  process.exit(1);
});
