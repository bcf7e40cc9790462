#!/usr/bin/env python3
"""Writes the seed corpus: small valid files of each kind the loaders know, so that the
fuzzers start from inputs that reach deep into them. Run again only to change the seeds."""
import math, os, random, struct

here = os.path.dirname(os.path.abspath(__file__))
rng = random.Random(1)

def put(folder, name, data):
    path = os.path.join(here, 'corpus', folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)

def riff(fmt_tag, channels, rate, bits, block_align, data, extra=b'', fact=None):
    fmt = struct.pack('<HHIIHH', fmt_tag, channels, rate, rate * block_align, block_align, bits) + extra
    body = b'WAVEfmt ' + struct.pack('<I', len(fmt)) + fmt
    if fact is not None:
        body += b'fact' + struct.pack('<II', 4, fact)
    body += b'data' + struct.pack('<I', len(data)) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body

def sine(n, rate, hz=440):
    return [math.sin(2 * math.pi * hz * i / rate) * 0.5 for i in range(n)]

n = 400
s = sine(n, 8000)
put('wav', 'u8_mono_8k.wav', riff(1, 1, 8000, 8, 1, bytes(int(v * 127 + 128) for v in s)))
put('wav', 's16_stereo_44k.wav', riff(1, 2, 44100, 16, 4, b''.join(struct.pack('<hh', int(v * 32767), -int(v * 32767)) for v in s)))
put('wav', 's24_mono_48k.wav', riff(1, 1, 48000, 24, 3, b''.join(struct.pack('<i', int(v * 8388607))[:3] for v in s)))
put('wav', 's32_mono_22k.wav', riff(1, 1, 22050, 32, 4, b''.join(struct.pack('<i', int(v * 2147483647)) for v in s)))
put('wav', 'f32_stereo_96k.wav', riff(3, 2, 96000, 32, 8, b''.join(struct.pack('<ff', v, v) for v in s)))
put('wav', 'alaw_mono_8k.wav', riff(6, 1, 8000, 8, 1, bytes(rng.randrange(256) for _ in range(n))))
put('wav', 'mulaw_mono_8k.wav', riff(7, 1, 8000, 8, 1, bytes(rng.randrange(256) for _ in range(n))))
# IMA ADPCM: 256-byte blocks, a 4-byte header then 4-bit codes; any codes decode.
spb = (256 - 4) * 2 + 1
ima = b''.join(struct.pack('<hBB', 0, 0, 0) + bytes(rng.randrange(256) for _ in range(252)) for _ in range(2))
put('wav', 'ima_adpcm_mono_22k.wav', riff(0x11, 1, 22050, 4, 256, ima, struct.pack('<HH', 2, spb), fact=2 * spb))
# Microsoft ADPCM with its seven standard coefficient pairs.
coefs = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
spb = (256 - 7) * 2 + 2
extra = struct.pack('<HHH', 32, spb, 7) + b''.join(struct.pack('<hh', a, b) for a, b in coefs)
ms = b''.join(struct.pack('<Bhhh', 0, 16, 0, 0) + bytes(rng.randrange(256) for _ in range(249)) for _ in range(2))
put('wav', 'ms_adpcm_mono_11k.wav', riff(2, 1, 11025, 4, 256, ms, extra, fact=2 * spb))
put('wav', 'extensible_s16_stereo.wav', riff(0xFFFE, 2, 48000, 16, 4, b'\0\0\0\0' * 100,
    struct.pack('<HHI', 22, 16, 3) + bytes.fromhex('0100000000001000800000aa00389b71')))

put('config', 'as_written.txt', b''.join(b'SUONO INGRESSO %d = suono%d.wav\r\n' % (i, i) for i in range(1, 5)))
put('config', 'empty_slots.txt', b''.join(b'SUONO INGRESSO %d = \r\n' % i for i in range(1, 5)))
put('config', 'mixed_endings.txt', b'SUONO INGRESSO 2 = a b .wav  \nSUONO INGRESSO 1 = caff\xe8.wav\rcommento\r\n\r\nSUONO INGRESSO 4 = sub\\x.wav')
put('config', 'repeated_and_nested.txt', b'xx SUONO INGRESSO 3 = SUONO INGRESSO 1 = y\r\nSUONO INGRESSO 3 = z\r\nSUONO INGRESSO 3 =no\r\n')
put('config', 'nul_and_binary.txt', b'SUONO INGRESSO 1 = a\0b\r\n\xff\xfe\x00\x01SUONO INGRESSO 2 = \x80\x81\r\n')
