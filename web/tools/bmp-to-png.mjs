// The project's bitmaps as PNG for the page: an uncompressed 8-bit (palette) or 24-bit BMP in,
// a palette or RGB PNG out. Distrusts the file: sizes and offsets are checked before use.
import { deflateSync } from 'node:zlib';

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const out = Buffer.alloc(12 + data.length);
  out.writeUInt32BE(data.length, 0);
  out.write(type, 4, 'latin1');
  data.copy(out, 8);
  out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
  return out;
}

export function bmpToPng(bmp) {
  const fail = (why) => { throw new Error(`not a BMP this converter reads: ${why}`); };
  if (bmp.length < 54 || bmp.toString('latin1', 0, 2) !== 'BM') fail('no BM header');
  const pixels = bmp.readUInt32LE(10), headerSize = bmp.readUInt32LE(14);
  const width = bmp.readInt32LE(18), rawHeight = bmp.readInt32LE(22);
  const bits = bmp.readUInt16LE(28), compression = bmp.readUInt32LE(30);
  const height = Math.abs(rawHeight);
  if (width <= 0 || width > 4096 || height === 0 || height > 4096) fail('size');
  if (compression !== 0 || (bits !== 8 && bits !== 24)) fail(`${bits} bits, compression ${compression}`);
  const stride = Math.ceil((width * bits) / 32) * 4;
  if (pixels + stride * height > bmp.length) fail('pixels run past the end');
  const channels = bits === 8 ? 1 : 3;
  const raw = Buffer.alloc((width * channels + 1) * height);
  for (let y = 0; y < height; ++y) {
    const row = pixels + stride * (rawHeight > 0 ? height - 1 - y : y);
    const out = y * (width * channels + 1) + 1;  // filter byte 0: none
    for (let x = 0; x < width; ++x) {
      if (bits === 8) raw[out + x] = bmp[row + x];
      else for (let c = 0; c < 3; ++c) raw[out + x * 3 + c] = bmp[row + x * 3 + 2 - c];  // BGR to RGB
    }
  }
  const head = Buffer.alloc(13);
  head.writeUInt32BE(width, 0);
  head.writeUInt32BE(height, 4);
  head[8] = 8;
  head[9] = bits === 8 ? 3 : 2;
  const parts = [Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', head)];
  if (bits === 8) {
    const colours = bmp.readUInt32LE(46) || 256;
    const table = 14 + headerSize;
    if (colours > 256 || table + colours * 4 > pixels) fail('palette');
    const palette = Buffer.alloc(256 * 3);
    for (let i = 0; i < colours; ++i)
      for (let c = 0; c < 3; ++c) palette[i * 3 + c] = bmp[table + i * 4 + 2 - c];
    parts.push(chunk('PLTE', palette));
  }
  parts.push(chunk('IDAT', deflateSync(raw, { level: 9 })), chunk('IEND', Buffer.alloc(0)));
  return Buffer.concat(parts);
}
