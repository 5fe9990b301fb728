// The live preview's HTTP server against what a hostile or careless client sends, over raw TCP
// sockets so that nothing tidies the request on the way: request targets that try to leave the
// output folder, a link in the folder that points out of it, methods other than GET and HEAD,
// the media types of the files, folders without an index; and a thousand idle connections and a
// few clients that send their request a byte at a time, while an edit must still reload the page
// open in headless Chromium within its bound.
//
//   node serve_security_test.mjs GLOSSATOR SOURCE_DIR

import assert from 'node:assert/strict';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';

import { kChromium, loadPlaywright, requireChromium } from './docset.mjs';
import { saveLikeAnEditor, startServe, stopServe } from './serve.mjs';

const [glossator, sourceDir] = process.argv.slice(2);
if (!glossator || !sourceDir) {
  console.error('usage: serve_security_test.mjs GLOSSATOR SOURCE_DIR');
  process.exit(1);
}

// What a reload may take with the idle and slow connections open: generous, for a busy machine;
// the time measured is printed.
const kReloadBoundMs = 2000;
const kIdleConnections = 1000;
const kSlowClients = 5;
const kSecret = 'secret-outside-the-folder-5f1d';

let work;
let units;
let server;
let port;

// Sends `bytes` on a new connection and resolves with the answer once the server closes it:
// {status, headers (lower-case names), body}. `delayMs` > 0 sends one byte at a time;
// `headOnly` resolves as soon as the head of the answer is in.
function rawRequest(bytes, { delayMs = 0, timeoutMs = 10000, headOnly = false } = {}) {
  return new Promise((resolve, reject) => {
    const socket = net.connect(port, '127.0.0.1');
    const chunks = [];
    const timer = setTimeout(() => {
      socket.destroy();
      reject(new Error(`no answer within ${timeoutMs} ms to ${JSON.stringify(bytes)}`));
    }, timeoutMs);
    socket.on('data', (chunk) => {
      chunks.push(chunk);
      if (headOnly && Buffer.concat(chunks).includes('\r\n\r\n')) socket.destroy();
    });
    socket.on('error', (error) => { clearTimeout(timer); reject(error); });
    socket.on('close', () => {
      clearTimeout(timer);
      resolve(parseAnswer(Buffer.concat(chunks).toString('latin1')));
    });
    socket.on('connect', async () => {
      if (delayMs === 0) return socket.write(bytes);
      for (const byte of bytes) {
        if (socket.destroyed) return;
        socket.write(byte);
        await new Promise((wake) => setTimeout(wake, delayMs));
      }
    });
  });
}

function parseAnswer(text) {
  const end = text.indexOf('\r\n\r\n');
  const head = end < 0 ? text : text.slice(0, end);
  const [statusLine, ...lines] = head.split('\r\n');
  const headers = {};
  for (const line of lines) {
    const colon = line.indexOf(':');
    if (colon > 0) headers[line.slice(0, colon).trim().toLowerCase()] = line.slice(colon + 1).trim();
  }
  const status = Number(/^HTTP\/1\.[01] (\d{3})/.exec(statusLine)?.[1] ?? 0);
  return { status, headers, body: end < 0 ? '' : text.slice(end + 4), raw: text };
}

function request(method, target) {
  return rawRequest(`${method} ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n`);
}

before(async () => {
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'glossator-serve-security-'));
  units = path.join(work, 'units');
  fs.mkdirSync(units);
  for (const name of ['shapes.pas', 'geometry.pas', 'drawing.pas']) {
    fs.copyFileSync(path.join(sourceDir, 'examples', name), path.join(units, name));
  }
  fs.writeFileSync(path.join(work, 'secret.txt'), kSecret);
  const outDir = path.join(work, 'out');
  server = await startServe(glossator, ['--style=site', '--reader=pascal', '-o', outDir, units]);
  port = Number(new URL(server.url).port);
  // What is put into the folder behind the program's back: links out of it, a folder without
  // an index page, a hidden file.
  fs.symlinkSync(path.join(work, 'secret.txt'), path.join(outDir, 'link-out.html'));
  fs.symlinkSync('../secret.txt', path.join(outDir, 'relative-out.css'));
  fs.symlinkSync(work, path.join(outDir, 'up'));
  fs.mkdirSync(path.join(outDir, 'bare'));
  fs.writeFileSync(path.join(outDir, 'bare', 'listed-name.txt'), 'in a bare folder');
  fs.writeFileSync(path.join(outDir, '.hidden.html'), kSecret);
});

after(async () => {
  if (server) {
    const { code } = await stopServe(server);
    assert.equal(code, 0, 'SIGTERM ends serve cleanly');
  }
  if (work) fs.rmSync(work, { recursive: true, force: true });
});

describe('glossator serve answers only for files inside its folder', () => {
  it('does not let a request target out of the folder', async () => {
    const targets = [
      '/../secret.txt',
      '/../../../../../../etc/passwd',
      '/%2e%2e/secret.txt',
      '/%2E%2E/%2e%2e/%2e%2e/%2e%2e/etc/passwd',
      '/.%2e/secret.txt',
      '/..%2fsecret.txt',
      '/%2e%2e%2f%2e%2e%2fetc%2fpasswd',
      '/Shapes.html/../../secret.txt',
      '/..\\secret.txt',
      '/%5c..%5csecret.txt',
      '//etc/passwd',
      '///etc/passwd',
      '/etc/passwd',
      `/${path.join(work, 'secret.txt')}`,
      `${path.join(work, 'secret.txt')}`,
      'http://127.0.0.1/../secret.txt',
      '/link-out.html',
      '/relative-out.css',
      '/up/secret.txt',
      '/up/out/index.html',
      '/.hidden.html',
      '/index.html%00.png',
      '/%00',
      '*',
    ];
    for (const target of targets) {
      for (const method of ['GET', 'HEAD']) {
        const answer = await request(method, target);
        const row = `${method} ${target} => ${answer.raw.split('\r\n')[0]}`;
        assert.equal(answer.status, 404, row);
        assert.ok(!answer.body.includes(kSecret) && !answer.body.includes('root:'), row);
        if (method === 'HEAD') assert.equal(answer.body, '', row);
      }
    }
  });

  it('gives a folder its index page and never lists a folder', async () => {
    const index = fs.readFileSync(path.join(server.outDir, 'index.html'), 'latin1');
    for (const target of ['/', '//', '/index.html', '/?x=/../secret.txt']) {
      const answer = await request('GET', target);
      assert.equal(answer.status, 200, target);
      // The page as written, with the reload script before its </body>.
      const [front] = index.split('</body>');
      assert.ok(answer.body.startsWith(front), target);
      assert.match(answer.body, /__glossator\/events/, target);
    }
    for (const target of ['/bare', '/bare/', '/up/', '/nothing/']) {
      const answer = await request('GET', target);
      assert.equal(answer.status, 404, target);
      assert.ok(!answer.body.includes('listed-name'), `${target} lists no names`);
    }
    assert.equal((await request('GET', '/bare/listed-name.txt')).status, 200);
  });

  it('answers every method but GET and HEAD with 405', async () => {
    for (const method of ['POST', 'PUT', 'DELETE', 'OPTIONS', 'PATCH', 'TRACE', 'CONNECT']) {
      // libevent keeps a connection open after it answered CONNECT (until the idle timeout
      // closes it): that answer is taken as soon as its head is in.
      const connect = method === 'CONNECT';
      const answer = await rawRequest(`${method} ${connect ? '127.0.0.1:80' : '/index.html'} ` +
                                      'HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\n' +
                                      'Connection: close\r\n\r\nhello', { headOnly: connect });
      assert.equal(answer.status, 405, method);
      assert.equal(answer.headers.allow, 'GET, HEAD', method);
    }
    // Methods libevent does not know are refused before they reach the program, as HTTP asks
    // of a method a server does not implement.
    for (const method of ['BREW', 'PROPFIND']) {
      const answer = await request(method, '/index.html');
      assert.ok(answer.status === 501 || answer.status === 405, `${method} => ${answer.status}`);
      assert.ok(!answer.body.includes('<main'), `${method} gets no page`);
    }
    assert.ok(fs.existsSync(path.join(server.outDir, 'index.html')), 'DELETE removed nothing');
  });

  it('lets the browser keep only the files that never change while it serves', async () => {
    // The style sheet and the script are the program's own; pages and data scripts change with
    // every build and must be asked for again.
    for (const [name, control] of [['site.css', /^max-age=\d+$/], ['site.js', /^max-age=\d+$/],
                                   ['index.html', /^no-cache$/], ['search-index.js', /^no-cache$/]]) {
      const got = await request('GET', `/${name}`);
      assert.equal(got.status, 200, name);
      assert.match(got.headers['cache-control'] ?? '', control, name);
    }
  });

  it('names the media type of each kind of file, for GET and HEAD alike', async () => {
    const names = fs.readdirSync(server.outDir);
    const expected = [
      ['.html', /^text\/html\b/],
      ['.css', /^text\/css\b/],
      ['.js', /^text\/javascript\b/],
    ];
    for (const [extension, type] of expected) {
      const name = names.find((n) => n.endsWith(extension) && !n.startsWith('.') &&
                                     fs.lstatSync(path.join(server.outDir, n)).isFile());
      assert.ok(name, `the site has a ${extension} file`);
      const got = await request('GET', `/${encodeURIComponent(name)}`);
      const head = await request('HEAD', `/${encodeURIComponent(name)}`);
      assert.equal(got.status, 200, name);
      assert.match(got.headers['content-type'] ?? '', type, name);
      assert.equal(head.headers['content-type'], got.headers['content-type'], name);
      assert.equal(Number(got.headers['content-length']), Buffer.byteLength(got.body, 'latin1'), name);
      assert.equal(head.headers['content-length'], got.headers['content-length'], name);
      assert.equal(head.body, '', name);
      if (extension !== '.html') {
        assert.ok(fs.readFileSync(path.join(server.outDir, name)).equals(Buffer.from(got.body, 'latin1')),
                  `${name} is served as written`);
      }
    }
  });
});

describe('glossator serve under load', () => {
  let browser;
  const idle = [];
  before(async () => {
    requireChromium();
    const playwright = await loadPlaywright();
    browser = await playwright.chromium.launch({
      executablePath: kChromium, headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking'],
    });
  });
  after(async () => {
    for (const socket of idle) socket.destroy();
    await browser?.close();
  });

  it('reloads an edited page while a thousand connections idle and slow clients dawdle', async () => {
    const page = await browser.newPage();
    await page.goto(`${server.url}Shapes.TShape.html`);

    // The idle connections: opened, then silent.
    await Promise.all(Array.from({ length: kIdleConnections }, () => new Promise((resolve, reject) => {
      const socket = net.connect(port, '127.0.0.1', () => resolve());
      socket.on('error', reject);
      idle.push(socket);
    })));
    const slow = Array.from({ length: kSlowClients }, () =>
      rawRequest('GET /Shapes.html HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n',
                 { delayMs: 40, timeoutMs: 30000 }));

    const start = Date.now();
    const file = path.join(units, 'shapes.pas');
    saveLikeAnEditor(file, fs.readFileSync(file, 'utf8').replace(
        'Horizontal position of the reference point', 'Horizontal position, edited under load'));
    await page.waitForFunction(
      () => document.querySelector('main')?.textContent.includes('edited under load'), null,
      { polling: 10, timeout: 15000 });
    const took = Date.now() - start;
    console.log(`# reload with ${kIdleConnections} idle connections and ${kSlowClients} slow ` +
                `clients: ${took} ms from the save to the new text in the page`);
    assert.ok(took <= kReloadBoundMs, `the reload took ${took} ms (bound ${kReloadBoundMs} ms)`);

    // A new client is still answered at once, and the slow ones get their page.
    const answer = await request('GET', '/Shapes.TShape.html');
    assert.equal(answer.status, 200);
    assert.ok(answer.body.includes('edited under load'));
    for (const slowAnswer of await Promise.all(slow)) assert.equal(slowAnswer.status, 200);
    const open = idle.filter((socket) => !socket.destroyed && socket.readyState === 'open');
    assert.equal(open.length, kIdleConnections, 'the idle connections are kept');
    await page.close();
  });
});
