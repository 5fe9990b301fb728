// Helpers of the tests and the benchmark of `glossator serve`: starting it, waiting for its
// rebuilds, reading its event stream, comparing folders, and an editor's save.

import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

// Starts `glossator serve --port 0 ARGS...` and resolves once it serves. The server's standard
// error is kept line by line: each rebuild writes one line starting "glossator: ".
export async function startServe(glossator, args, { cwd, timeout = 120000 } = {}) {
  const child = spawn(glossator, ['serve', '--port', '0', ...args], {
    cwd, stdio: ['ignore', 'pipe', 'pipe'],
  });
  const server = {
    child,
    lines: [],
    url: '',
    outDir: '',
    exited: new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal }))),
    waiters: [],
  };
  let errors = '';
  child.stderr.setEncoding('utf8');
  child.stderr.on('data', (text) => {
    errors += text;
    const lines = errors.split('\n');
    errors = lines.pop();
    for (const line of lines) {
      server.lines.push(line);
      for (const waiter of server.waiters.splice(0)) waiter();
    }
  });
  let out = '';
  child.stdout.setEncoding('utf8');
  await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`serve did not start:\n${server.lines.join('\n')}`)),
                             timeout);
    child.stdout.on('data', (text) => {
      out += text;
      const found = /^Serving (.*) at (http:\/\/\S+)$/m.exec(out);
      if (!found) return;
      clearTimeout(timer);
      server.outDir = found[1];
      server.url = found[2];
      resolve();
    });
    server.exited.then(({ code }) => {
      clearTimeout(timer);
      reject(new Error(`serve ended with ${code}:\n${server.lines.join('\n')}`));
    });
  });
  return server;
}

// The rebuild lines ("glossator: 1 read, 2 written ...") so far.
export function rebuildLines(server) {
  return server.lines.filter((line) => /^glossator: \d+ read, /.test(line));
}

// Resolves with the rebuild lines that came after the first `seen`, once one came and then
// nothing for `quietMs`; rejects after `timeoutMs` without one.
export async function waitForRebuild(server, seen, { quietMs = 150, timeoutMs = 20000 } = {}) {
  const start = Date.now();
  for (;;) {
    const lines = rebuildLines(server);
    if (lines.length > seen) {
      const count = lines.length;
      await new Promise((resolve) => setTimeout(resolve, quietMs));
      if (rebuildLines(server).length === count) return lines.slice(seen);
      continue;
    }
    if (Date.now() - start > timeoutMs) {
      throw new Error(`no rebuild within ${timeoutMs} ms:\n${server.lines.slice(-20).join('\n')}`);
    }
    await new Promise((resolve) => {
      server.waiters.push(resolve);
      setTimeout(resolve, 50);
    });
  }
}

export async function stopServe(server, signal = 'SIGTERM') {
  if (server.child.exitCode === null && server.child.signalCode === null) server.child.kill(signal);
  return server.exited;
}

// Opens the event stream and collects its events ({event, data}) in `events`.
export function listen(url, since = 0) {
  const stream = { events: [], request: null, waiters: [] };
  stream.request = http.get(`${url}__glossator/events?since=${since}`, (response) => {
    let text = '';
    response.setEncoding('utf8');
    response.on('data', (chunk) => {
      text += chunk;
      let end;
      while ((end = text.indexOf('\n\n')) >= 0) {
        const block = text.slice(0, end);
        text = text.slice(end + 2);
        const event = /^event: (.*)$/m.exec(block);
        const data = /^data: (.*)$/m.exec(block);
        if (!event || !data) continue;
        stream.events.push({ event: event[1], data: JSON.parse(data[1]) });
        for (const waiter of stream.waiters.splice(0)) waiter();
      }
    });
  });
  stream.request.on('error', () => {});
  stream.close = () => stream.request.destroy();
  return stream;
}

// Every file below a folder: relative path => bytes.
export function filesIn(folder) {
  const files = new Map();
  const walk = (dir, prefix) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const relative = prefix ? `${prefix}/${entry.name}` : entry.name;
      if (entry.isDirectory()) walk(path.join(dir, entry.name), relative);
      else if (entry.isFile()) files.set(relative, fs.readFileSync(path.join(dir, entry.name)));
    }
  };
  walk(folder, '');
  return files;
}

// The names of the files that differ between two folders (missing on either side included).
export function differences(a, b) {
  const left = filesIn(a);
  const right = filesIn(b);
  const differ = [];
  for (const [name, bytes] of left) {
    if (!right.has(name)) differ.push(`${name} (only in ${a})`);
    else if (!bytes.equals(right.get(name))) differ.push(name);
  }
  for (const name of right.keys()) if (!left.has(name)) differ.push(`${name} (only in ${b})`);
  return differ;
}

// A whole run of glossator into `outDir`, made anew.
export function wholeRun(glossator, args, outDir, cwd) {
  fs.rmSync(outDir, { recursive: true, force: true });
  const run = spawnSync(glossator, ['-q', '-o', outDir, ...args], { cwd, encoding: 'utf8', timeout: 300000 });
  return { status: run.status, output: `${run.stdout ?? ''}${run.stderr ?? ''}` };
}

// Saves a file the way editors do: the new text into a temporary file beside it, renamed over
// the old one, then its mode set.
export function saveLikeAnEditor(file, text) {
  const temporary = path.join(path.dirname(file), `.${path.basename(file)}.swp`);
  fs.writeFileSync(temporary, text);
  fs.renameSync(temporary, file);
  fs.chmodSync(file, 0o644);
}

// Copies files into a folder, returning the copies' paths.
export function copyInto(files, folder) {
  fs.mkdirSync(folder, { recursive: true });
  return files.map((file) => {
    const copy = path.join(folder, path.basename(file));
    fs.copyFileSync(file, copy);
    return copy;
  });
}
