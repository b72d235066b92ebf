// The page reads a key script (?play=) by the desktop's rules as it streams in: an endless or
// oversized response is cancelled as soon as a bound is passed, with the tab's memory small, and
// every failure (a line too long, an address the browser cannot read) ends with the page's
// message and Play again, before any frame.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {openPage, patience, servedPage, waitForStatus} from './browser.mjs';

// The most a stream of this test sends, whatever the page does: a gigabyte.
const streamLimit = 1 << 30;

// A server on 127.0.0.1 that answers every request with `line` again and again, up to
// streamLimit bytes, and counts what it sent until the page hung up or the limit came.
function endlessServer(line) {
  const piece = Buffer.from(line.repeat(Math.ceil(65536 / line.length)));
  const streams = [];
  const server = http.createServer((request, response) => {
    const stream = {sent: 0, hungUp: false};
    streams.push(stream);
    response.writeHead(200, {'Content-Type': 'text/plain', 'Access-Control-Allow-Origin': '*'});
    response.on('close', () => { stream.hungUp = !response.writableFinished; });
    const send = () => {
      while (stream.sent < streamLimit && !response.destroyed) {
        stream.sent += piece.length;
        if (!response.write(piece)) return response.once('drain', send);
      }
      response.end();
    };
    send();
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}/script.keys`,
    streams,
    stop: () => new Promise(done => { server.closeAllConnections(); server.close(done); }),
  })));
}

let site;
before(async () => { site = await servedPage({}); });
after(async () => site?.close());

// Opens the page on ?play=SCRIPT and returns what it said when the game ended, and the game's
// memory then.
async function endOf(script) {
  const {page, console: said} = await openPage(site.browser, `${site.url}?play=${encodeURIComponent(script)}`);
  try {
    const end = await waitForStatus(page, s => s.state === 'ended', 'the end');
    const shown = await page.$eval('#end', end => ({shown: !end.hidden, text: end.innerText}));
    const memory = await page.evaluate(() => Module.HEAPU8.buffer.byteLength);
    assert.equal(end.frames, 0, 'the game ran frames of a script it refused');
    assert.ok(shown.shown && shown.text.includes('Play again'), `no message with Play again: ${shown.text}`);
    assert.deepEqual(said.filter(message => message.type === 'error' && !message.text.startsWith('rink:')), []);
    return {text: shown.text, memory};
  } finally {
    await page.close();
  }
}

test('an endless stream is cancelled at the first bound it passes, lines or bytes, with the game\'s memory small', async () => {
  for (const [line, bound] of [['Right\n', 'more than 1000000 lines'], ['# ' + 'a'.repeat(200) + '\n', 'longer than 64 MB']]) {
    const server = await endlessServer(line);
    try {
      const {text, memory} = await endOf(server.url);
      assert.ok(text.includes(`The game could not start: the key script '${server.url}': ${bound}.`), text);
      assert.ok(memory < 100 << 20, `the game's memory grew to ${memory} bytes`);
      // The page hangs up: the server stops long before its gigabyte.
      const [stream] = server.streams;
      for (const deadline = Date.now() + patience; !stream.hungUp && Date.now() < deadline;) {
        await new Promise(done => setTimeout(done, 50));
      }
      assert.ok(stream.hungUp && stream.sent < streamLimit / 4, `the server sent ${stream.sent} bytes`);
    } finally {
      await server.stop();
    }
  }
});

test('a line too long and an address the browser cannot read end the page with their reason', async () => {
  const server = await endlessServer('Right ' + 'Left '.repeat(60) + '\n');
  try {
    for (const [script, why] of [
      [server.url, `the key script '${server.url}': line 1: longer than 256 characters`],
      ['http://[::1', "the key script 'http://[::1' is not an address the browser can read"],
    ]) {
      const {text} = await endOf(script);
      assert.ok(text.includes(`The game could not start: ${why}.`), text);
    }
  } finally {
    await server.stop();
  }
});

test('a recording cut short in its last line plays up to its last whole line, with one warning naming it', async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'rink-cut-'));
  const file = path.join(work, 'cut.keys');
  fs.writeFileSync(file, 'Right\nRight\nRight Down\nUp Sp');
  const cut = await servedPage({'cut.keys': file});
  try {
    const {page, console: said} = await openPage(cut.browser, `${cut.url}?play=cut.keys&fast=1`);
    const end = await waitForStatus(page, s => s.state === 'ended', 'the end of the script');
    assert.equal(end.frames, 3, 'the page played another number of lines');
    const warnings = said.filter(message => message.text.includes('warning'));
    assert.deepEqual(warnings.map(message => message.text),
                     ["rink: cut.keys: warning: line 4: unfinished and left out: unknown key 'Sp'"]);
    await page.close();
  } finally {
    await cut.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
});
