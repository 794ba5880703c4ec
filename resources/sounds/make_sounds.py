#!/usr/bin/env python3
"""Writes open.wav beside this script: the short chime the tab window plays when it opens.

Two bell-like notes a fifth apart (C6, then G6 struck 120 ms later), each a sine with two
soft partials and an exponential decay, 16-bit PCM mono at 22050 Hz, 0.7 s long. Only the
standard library is used; the .wav file is kept in the repository, so run this again only
to change the sound.
"""
import math
import os
import struct
import wave

RATE = 22050
LENGTH = 0.7  # seconds
PEAK = 0.55  # of full scale, so the chime is not loud

# (start in seconds, frequency in Hz, loudness)
NOTES = [(0.0, 1046.50, 1.0), (0.12, 1567.98, 0.8)]
# Partials of a small bell: (frequency ratio, loudness, decay per second).
PARTIALS = [(1.0, 1.0, 6.0), (2.76, 0.25, 11.0), (5.40, 0.08, 18.0)]
ATTACK = 0.004  # seconds of fade-in, so no note starts with a click


def sample(t):
    value = 0.0
    for start, freq, loud in NOTES:
        dt = t - start
        if dt < 0:
            continue
        attack = min(1.0, dt / ATTACK)
        for ratio, part_loud, decay in PARTIALS:
            value += (loud * part_loud * attack * math.exp(-decay * dt) *
                      math.sin(2 * math.pi * freq * ratio * dt))
    return value


def main():
    count = int(RATE * LENGTH)
    raw = [sample(i / RATE) for i in range(count)]
    # The last 30 ms fade out, so the sound ends in silence.
    fade = int(RATE * 0.03)
    for i in range(fade):
        raw[count - fade + i] *= 1.0 - (i + 1) / fade
    scale = PEAK * 32767 / max(abs(v) for v in raw)
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in raw)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "open.wav")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
