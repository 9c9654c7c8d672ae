// A small static server for the page, on 127.0.0.1 only: the files of one folder, nothing
// else. Used by scripts/web.sh and the browser tests.
//   node web/tools/serve.mjs [folder] [port]   (port 0: any free one; the address is printed)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
  '.png': 'image/png', '.wasm': 'application/wasm', '.json': 'application/json',
};

export function serve(folder, port = 0) {
  const base = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = normalize(join(base, path.endsWith('/') ? path + 'index.html' : path));
    if (file !== base && !file.startsWith(base + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'content-type': types[extname(file)] ?? 'application/octet-stream', 'cache-control': 'no-cache' });
      response.end(body);
    } catch {
      response.writeHead(404, { 'content-type': 'text/plain' }).end('not found\n');
    }
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const server = await serve(process.argv[2] ?? '.', Number(process.argv[3] ?? 8080));
  console.log(`Norvathel page: http://127.0.0.1:${server.address().port}/  (Ctrl+C ends)`);
}
