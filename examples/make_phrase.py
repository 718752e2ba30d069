#!/usr/bin/env python3
"""Writes phrase.mid: four bars in A minor at 120 BPM, chords and single notes,
with three notes outside the scale (F#, C#, G#) so that snapping has work to do.

Usage: python3 make_phrase.py [OUT.mid]   (default: phrase.mid beside this script)
"""
import os
import struct
import sys

PPQ = 480
BEAT = PPQ

# (start in beats, length in beats, notes, velocity)
PHRASE = [
    # bar 1: A minor, then two melody notes
    (0.0, 2.0, [57, 60, 64], 96),
    (2.0, 1.0, [64], 84),
    (3.0, 1.0, [60], 80),
    # bar 2: D minor, then F# (outside the scale) and E
    (4.0, 2.0, [62, 65, 69], 92),
    (6.0, 1.0, [66], 84),
    (7.0, 1.0, [64], 80),
    # bar 3: a run of eighths down from A, through C#
    (8.0, 0.5, [69], 100),
    (8.5, 0.5, [67], 82),
    (9.0, 0.5, [65], 90),
    (9.5, 0.5, [64], 82),
    (10.0, 0.5, [62], 90),
    (10.5, 0.5, [61], 82),
    (11.0, 0.5, [59], 90),
    (11.5, 0.5, [60], 82),
    # bar 4: E major (its G# snaps in A minor), A minor to close
    (12.0, 2.0, [52, 56, 59], 96),
    (14.0, 2.0, [57, 60, 64], 100),
]


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def track(events):
    """events: (tick, bytes) in any order; note-offs sort before note-ons."""
    events = sorted(events, key=lambda e: (e[0], 0 if e[1][0] & 0xF0 == 0x80 else 1))
    body = b""
    last = 0
    for tick, data in events:
        body += vlq(tick - last) + data
        last = tick
    body += vlq(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "phrase.mid")
    conductor = [
        (0, b"\xff\x03" + bytes([len(b"Phrase")]) + b"Phrase"),
        (0, b"\xff\x51\x03" + (500000).to_bytes(3, "big")),  # 120 BPM
        (0, b"\xff\x58\x04\x04\x02\x18\x08"),  # 4/4
    ]
    notes = []
    for start, length, pitches, velocity in PHRASE:
        on = round(start * BEAT)
        off = round((start + length) * BEAT) - BEAT // 16  # slightly detached
        for pitch in pitches:
            notes.append((on, bytes([0x90, pitch, velocity])))
            notes.append((off, bytes([0x80, pitch, 0])))
    data = b"MThd" + struct.pack(">IHHH", 6, 1, 2, PPQ) + track(conductor) + track(notes)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
