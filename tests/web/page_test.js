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

// The file whose download the server cuts off halfway ('' for none).
let cutDownload = '';

function serve() {
  const server = http.createServer((request, response) => {
    const name = request.url === '/' ? 'index.html' : path.basename(request.url.split('?')[0]);
    if (name === 'blank.html') { response.writeHead(200, { 'Content-Type': 'text/html' }); response.end(''); return; }
    fs.readFile(path.join(siteDir, name), (error, bytes) => {
      if (error) { response.writeHead(404); response.end(); return; }
      response.writeHead(200, { 'Content-Type': kinds[path.extname(name)] || 'application/octet-stream',
        'Content-Length': bytes.length, 'Cache-Control': 'no-store' });
      if (name !== cutDownload) { response.end(bytes); return; }
      response.write(bytes.subarray(0, bytes.length >> 1), () => response.destroy());
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

// A page of `context` at `address`, loaded (or failed to), with `before` run
// in it before its own script.
async function openPage(context, address, before) {
  const page = await context.newPage();
  page.on('pageerror', (error) => console.log('page error: ' + error.message));
  await page.setViewport({ width: 832, height: 900 });
  if (before) await page.evaluateOnNewDocument(before);
  await page.goto(address);
  await waitFor(page, () => ['ready', 'failed'].includes(window.nombrePage.state), 30000);
  return page;
}

// Starts a run and fights until a blow scores: the score.
async function playUntilScored(page) {
  await page.bringToFront();
  if (await page.evaluate(() => window.nombrePage.state === 'ended')) await page.click('#again');
  else await page.keyboard.press('Enter');
  await waitFor(page, () => window.nombrePage.state === 'playing', 2000);
  await page.keyboard.down('ArrowRight');
  await sleep(800);
  await page.keyboard.up('ArrowRight');
  for (let i = 0; i < 200 && await page.evaluate(() => Module._nombreScore()) === 0; i++) {
    await page.keyboard.press(i % 2 ? 'KeyX' : 'KeyZ');
    await sleep(120);
  }
  return page.evaluate(() => Number(Module._nombreScore()));
}

// Ends the run in play with SALIR from the menu, once its files are written
// (or have failed to be): its score.
async function exitRun(page) {
  const writes = await page.evaluate(() => window.nombrePage.writes);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await waitFor(page, () => Module._nombreMenuOpen() === 1, 2000);
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  await waitFor(page, () => window.nombrePage.state === 'ended', 3000);
  await waitFor(page, (w) => window.nombrePage.writes > w, 8000, writes);
  return page.evaluate(() => Number(Module._nombreScore()));
}

// The totals of the best runs the page shows.
async function shownTotals(page) {
  const text = await page.evaluate(() => document.getElementById('scores').textContent);
  return text.split('\n').map((line) => line.match(/^\s*\d+\.\s+(\d+)/)).filter((m) => m).map((m) => Number(m[1]));
}

// The share of the canvas's pixels that show something (neither the stage's
// grey nor black).
async function drawnShare(page) {
  const shot = await (await page.$('#canvas')).screenshot({ encoding: 'base64' });
  return page.evaluate(async (png) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + png;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, image.width, image.height).data;
    let drawn = 0;
    for (let i = 0; i < data.length; i += 4) {
      const grey = data[i] === data[i + 1] && data[i + 1] === data[i + 2] && (data[i] === 0 || data[i] === 0x33);
      if (!grey) drawn++;
    }
    return drawn / (data.length / 4);
  }, shot);
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

// The player's files in the browser: merged across tabs, kept when the page
// goes away, kept in the page while storage fails, and never stopped by a
// damaged entry.
async function playerFilesKept(browser, address) {
  // Two tabs open at once each end a run: a new tab shows both.
  const tabs = await browser.createBrowserContext();
  const a = await openPage(tabs, address);
  const b = await openPage(tabs, address);
  await playUntilScored(a);
  const scoreA = await exitRun(a);
  await playUntilScored(b);
  const scoreB = await exitRun(b);
  const c = await openPage(tabs, address);
  const both = await shownTotals(c);
  check(both.length === 2 && both.includes(scoreA) && both.includes(scoreB),
    'two tabs each end a run: a new tab shows both (' + scoreA + ', ' + scoreB + '): ' + both.join(', '));
  await tabs.close();

  // A run in play is kept when its page goes away (a reload).
  const leaving = await browser.createBrowserContext();
  const left = await openPage(leaving, address);
  const scored = await playUntilScored(left);
  await left.reload();
  await waitFor(left, () => window.nombrePage.state === 'ready', 30000);
  const afterReload = await shownTotals(left);
  check(afterReload.length === 1 && afterReload[0] >= scored && scored > 0,
    'a run in play is kept through a reload (' + scored + '): ' + afterReload.join(', '));
  await leaving.close();

  // Storage that fails (full) or never answers: one line, the run stays in
  // the page, and it is written once storage works again.
  const failing = await browser.createBrowserContext();
  const faulty = await openPage(failing, address, () => {
    window.storageFault = '';
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (...args) {
      if (window.storageFault === 'full') throw new DOMException('the quota is used up', 'QuotaExceededError');
      return put.apply(this, args);
    };
    const complete = Object.getOwnPropertyDescriptor(IDBTransaction.prototype, 'oncomplete');
    Object.defineProperty(IDBTransaction.prototype, 'oncomplete', {
      get() { return complete.get.call(this); },
      set(handler) { complete.set.call(this, (event) => { if (window.storageFault !== 'hang') handler.call(this, event); }); },
    });
  });
  const totals = [];
  for (const fault of ['full', 'hang']) {
    await faulty.evaluate((f) => { window.storageFault = f; }, fault);
    const said = await faulty.evaluate(() => window.nombrePage.lines.length);
    await playUntilScored(faulty);
    totals.push(await exitRun(faulty));
    const lines = (await faulty.evaluate(() => window.nombrePage.lines)).slice(said);
    check(lines.filter((l) => l.includes('could not be kept')).length === 1,
      'storage ' + fault + ': one line says the run is not kept: ' + lines[lines.length - 1]);
    const shown = await shownTotals(faulty);
    check(shown.includes(totals[totals.length - 1]), 'storage ' + fault + ': the page still shows the run');
    await faulty.evaluate(() => { window.storageFault = ''; });
    check(await waitFor(faulty, () => window.nombrePage.lines[window.nombrePage.lines.length - 1].includes('kept in this browser again'), 12000),
      'storage ' + fault + ': written once storage works again');
  }
  await faulty.reload();
  await waitFor(faulty, () => window.nombrePage.state === 'ready', 30000);
  const kept = await shownTotals(faulty);
  check(totals.every((t) => kept.includes(t)) && kept.length === 2, 'after a reload both runs are there: ' + kept.join(', '));
  await failing.close();

  // A damaged entry (a string where its time is kept) is set aside with one
  // line, and later runs are kept.
  const damaged = await browser.createBrowserContext();
  const hurt = await openPage(damaged, address);
  await hurt.evaluate(() => new Promise((done) => {
    const request = indexedDB.open('/home/web_user', 21);
    request.onsuccess = () => {
      const transaction = request.result.transaction('FILE_DATA', 'readwrite');
      transaction.objectStore('FILE_DATA').put({ timestamp: 'yesterday', mode: 0o100644, contents: new Uint8Array([35]) },
        '/home/web_user/.local/share/nombre/scores');
      transaction.oncomplete = () => { request.result.close(); done(); };
    };
  }));
  await hurt.reload();
  await waitFor(hurt, () => window.nombrePage.state === 'ready', 30000);
  const hurtLines = await hurt.evaluate(() => window.nombrePage.lines);
  check(hurtLines.length === 1 && hurtLines[0].includes('set aside'), 'a damaged entry is set aside with one line: ' + hurtLines.join(' | '));
  await playUntilScored(hurt);
  const afterDamage = await exitRun(hurt);
  await hurt.reload();
  await waitFor(hurt, () => window.nombrePage.state === 'ready', 30000);
  const shownAfter = await shownTotals(hurt);
  check(shownAfter.length === 1 && shownAfter[0] === afterDamage &&
    (await hurt.evaluate(() => window.nombrePage.lines.length)) === 0, 'and the next run is kept: ' + shownAfter.join(', '));
  await damaged.close();

  // Storage of a newer page: one line in plain words.
  const newer = await browser.createBrowserContext();
  const first = await newer.newPage();
  await first.goto(address + 'blank.html');
  await first.evaluate(() => new Promise((done) => {
    const request = indexedDB.open('/home/web_user', 99);
    request.onsuccess = () => { request.result.close(); done(); };
  }));
  const later = await openPage(newer, address);
  const newerLines = await later.evaluate(() => window.nombrePage.lines);
  check(newerLines.length === 1 && newerLines[0] ===
    'Your best runs cannot be kept in this browser (its storage was written by a newer version of this page); play goes on.',
    'storage of a newer version: one plain line: ' + newerLines.join(' | '));
  await newer.close();
}

// Every way the game can fail to load or stop says what failed and offers a reload.
async function loadFailuresSaid(browser, address) {
  const cases = [
    { what: 'index.data cut short', cut: 'index.data', says: 'could not load' },
    { what: 'index.wasm cut short', cut: 'index.wasm', says: 'could not load' },
    { what: 'no WebGL 2', says: 'needs WebGL 2', before: () => {
      const get = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) { return kind === 'webgl2' ? null : get.call(this, kind, ...rest); };
    } },
    { what: 'a trap in the game', says: 'an error inside it', trap: true },
  ];
  for (const failure of cases) {
    const context = await browser.createBrowserContext();
    cutDownload = failure.cut || '';
    const page = await openPage(context, address, failure.before);
    cutDownload = '';
    if (failure.trap) await page.evaluate(() => setTimeout(() => abort('a test trap')));
    const said = await waitFor(page, (s) => window.nombrePage.state === 'failed' && document.getElementById('reload') &&
      document.getElementById('line').textContent.includes(s), 15000, failure.says);
    const line = await page.evaluate(() => document.getElementById('line').textContent);
    check(said, failure.what + ': one line and a reload: ' + line);
    await context.close();
  }
}

// Chromium, headless, on a profile of its own made afresh.
function launch() {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: 'new',
    userDataDir: fs.mkdtempSync(path.join(outDir, 'profile-')),
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'],
  });
}

// The run just ended on `page` shared as a link, opened in a fresh browser:
// checked first (the line nombre-check would give, with score and level),
// then played back to the same score. The link and the page's verdict go
// into OUT_DIR for the native checker; a damaged link is one line.
async function sharedLinkPlaysBack(page, finalScore) {
  await page.click('#share');
  check(await waitFor(page, () => Boolean(window.nombrePage.sharedLink), 5000), 'Share this run makes its link');
  const link = await page.evaluate(() => window.nombrePage.sharedLink);
  const said = await page.evaluate(() => document.getElementById('line').textContent);
  const shown = await page.evaluate(() => !document.getElementById('shared').hidden && document.getElementById('shared').value);
  check(said.startsWith('The link to this run is on the clipboard') || shown === link,
    'the link goes on the clipboard, or is shown to be copied: ' + said);
  fs.writeFileSync(path.join(outDir, 'shared-link.txt'), link);
  const fresh = await launch();
  try {
    const opened = await openPage(fresh, link);
    // A run left by Exit in its menu ends as a played one does, with Play again.
    const plays = await waitFor(opened, () => ['watching', 'watched', 'ended'].includes(window.nombrePage.state), 20000);
    check(plays, 'the link opens in a fresh browser and plays (' + await opened.evaluate(() => window.nombrePage.state) + ')');
    const verdict = await opened.evaluate(() => window.nombrePage.lines.find((l) => l.startsWith('The linked run: ')) || '');
    check(/score \d+, level \d+/.test(verdict), 'checked first: ' + verdict);
    fs.writeFileSync(path.join(outDir, 'shared-verdict.txt'), verdict.replace(/^The linked run: /, '').replace(/ \(watching; Esc pauses\)$/, ''));
    check(await waitFor(opened, () => ['watched', 'ended'].includes(window.nombrePage.state) &&
      document.getElementById('line').textContent.endsWith('it ends as the run did'), 60000),
      'the linked run plays to its end (' + await opened.evaluate(() => window.nombrePage.state + ': ' + document.getElementById('line').textContent) + ')');
    const replayed = await opened.evaluate(() => Number(Module._nombreScore()));
    check(replayed === finalScore && verdict.includes('score ' + finalScore + ','),
      'and to the same score: ' + replayed + ' against ' + finalScore);
    const cut = await fresh.newPage();
    await cut.goto(link.slice(0, link.length - 9));
    await waitFor(cut, () => window.nombrePage && ['ready', 'failed'].includes(window.nombrePage.state), 30000);
    check(await waitFor(cut, () => window.nombrePage.lines.some((l) => l.startsWith('The link is not a run: ')), 5000) &&
      await cut.evaluate(() => window.nombrePage.state === 'ready'), 'a link cut short says so and changes nothing: ' +
      await cut.evaluate(() => document.getElementById('line').textContent));
  } finally {
    await fresh.close();
  }
}

(async () => {
  const server = await serve();
  const address = 'http://127.0.0.1:' + server.address().port + '/';
  const browser = await launch();
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
    await sharedLinkPlaysBack(page, finalScore);

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

    // Refused by its size before a byte is read, as the desktop refuses it:
    // a sparse 3 GB file.
    const huge = path.join(outDir, 'huge.nrep');
    fs.closeSync(fs.openSync(huge, 'w'));
    fs.truncateSync(huge, 3 * 1024 * 1024 * 1024);
    const hugeAt = Date.now();
    await (await page.$('#watch')).uploadFile(huge);
    check(await waitFor(page, () => window.nombrePage.lines.includes('huge.nrep is not a run: larger than any run'), 2000) &&
      Date.now() - hugeAt < 2000, 'a file larger than any run is refused by its size (' + (Date.now() - hugeAt) + ' ms)');
    fs.unlinkSync(huge);

    // A name of 250 bytes wraps: the page never scrolls sideways.
    const longName = path.join(outDir, 'n'.repeat(245) + '.nrep');
    fs.writeFileSync(longName, 'a shopping list\n');
    await (await page.$('#watch')).uploadFile(longName);
    await waitFor(page, () => window.nombrePage.lines.some((l) => l.startsWith('nnnnn')), 2000);
    check(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth),
      'a 250-byte file name stays within the page');

    // A run that cannot reach its end line (its menu left open at tick 300)
    // still ends, with the verdict nombre-check gives, and Play again.
    const stuck = path.join(outDir, 'stuck.nrep');
    const walk = fs.readFileSync(path.join(path.dirname(fixtureRun), 'walk.nrep'), 'utf8').split('\n');
    walk.splice(2, 0, '300 pause -');
    fs.writeFileSync(stuck, walk.join('\n'));
    await (await page.$('#watch')).uploadFile(stuck);
    check(await waitFor(page, () => window.nombrePage.state === 'watched', 10000) &&
      await page.evaluate(() => !document.getElementById('ended').hidden),
      'a watched run that stops before its end ends with Play again');
    const stuckLine = await page.evaluate(() => document.getElementById('line').textContent);
    check(stuckLine === "the replay stops at tick 300, before the run's end at 736", 'and a verdict: ' + stuckLine);

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
    check(await page.evaluate(() => document.getElementById('line').textContent === ''),
      "Play again clears the watched run's line");

    // The full-screen button puts the stage on the whole screen, and takes it back.
    await page.click('#fullscreen');
    check(await waitFor(page, () => document.fullscreenElement && document.fullscreenElement.id === 'stage', 2000),
      'the full-screen button fills the screen with the game');
    await page.click('#fullscreen');
    await waitFor(page, () => !document.fullscreenElement, 2000);
    // Clicks faster than the screen changes (all in one gesture, before the
    // stage covers the button): the last one wins.
    await page.evaluate(() => document.fullscreenElement && document.exitFullscreen());
    await waitFor(page, () => !document.fullscreenElement, 2000);
    for (const clicks of [50, 51]) {
      await cdp.send('Runtime.evaluate', { userGesture: true,
        expression: 'for (let i = 0; i < ' + clicks + '; i++) document.getElementById("fullscreen").click()' });
      await sleep(1500);
      const full = await page.evaluate(() => Boolean(document.fullscreenElement));
      check(full === (clicks % 2 === 1), clicks + ' fast clicks on Full screen end ' + (full ? 'in' : 'out of') + ' it');
    }
    await page.evaluate(() => document.fullscreenElement && document.exitFullscreen());
    await waitFor(page, () => !document.fullscreenElement, 2000);

    // A lost GL context (the GPU process restarted) pauses play and says so;
    // given back, the game draws again.
    await page.evaluate(() => {
      window.testLoser = document.getElementById('canvas').getContext('webgl2').getExtension('WEBGL_lose_context');
      window.testLoser.loseContext();
    });
    check(await waitFor(page, () => window.nombrePage.lines.some((l) => l.includes('lost the game')), 3000) &&
      await waitFor(page, () => Module._nombreMenuOpen() === 1, 2000), 'a lost context pauses the game and says so');
    const ticksLost = await page.evaluate(() => Module._nombreTicks());
    await sleep(500);
    check(await page.evaluate(() => Module._nombreTicks()) === ticksLost, 'no tick is played unseen');
    await page.evaluate(() => window.testLoser.restoreContext());
    check(await waitFor(page, () => window.nombrePage.lines.some((l) => l.startsWith('The picture is back')), 3000),
      'a context given back is said');
    await page.keyboard.press('Escape');
    check(await waitFor(page, (t) => Module._nombreTicks() > t + 30, 3000, ticksLost), 'and play goes on');
    const drawn = await drawnShare(page);
    check(drawn > 0.5, 'the game draws again in the context given back (' + (drawn * 100).toFixed(1) + '% of the canvas)');

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

    await playerFilesKept(browser, address);
    await loadFailuresSaid(browser, address);
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
