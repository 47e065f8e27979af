#!/usr/bin/python3
"""Synthesise the two click sounds the program plays.

Run from the repository root:

    /usr/bin/python3 tools/make-sounds.py

writes data/Files/Click1.wav (a soft tick when the pointer reaches a button)
and data/Files/Click2.wav (the click of a command). Both are 16-bit mono PCM at
44100 Hz and well under 150 ms, so a synchronous playback never holds the
window up noticeably. Only Python's standard library is needed; the output is
the same on every run (the noise generator is seeded).
"""

from __future__ import annotations

import argparse
import math
import random
import struct
import wave
from pathlib import Path

RATE = 44100
REPO_ROOT = Path(__file__).resolve().parent.parent


def envelope(t: float, attack: float, decay: float) -> float:
    """A quick linear rise and an exponential fall, both in seconds."""
    if t < attack:
        return t / attack
    return math.exp(-(t - attack) / decay)


def tick(duration: float = 0.030) -> list[float]:
    """Hover: a short, quiet wooden tick (two damped partials)."""
    out = []
    for n in range(int(RATE * duration)):
        t = n / RATE
        e = envelope(t, 0.0008, 0.0045)
        v = 0.65 * math.sin(2 * math.pi * 1850 * t) + 0.35 * math.sin(2 * math.pi * 3700 * t + 0.6)
        out.append(0.22 * e * v)
    return out


def click(duration: float = 0.070) -> list[float]:
    """Command: a firmer click, a noise transient over a damped low body."""
    rng = random.Random(1440)
    out = []
    low = 0.0
    for n in range(int(RATE * duration)):
        t = n / RATE
        noise = rng.uniform(-1.0, 1.0)
        low += 0.35 * (noise - low)  # one-pole low-pass takes the hiss off the noise
        body = math.sin(2 * math.pi * 920 * t) * envelope(t, 0.0010, 0.012)
        snap = low * envelope(t, 0.0003, 0.0025)
        out.append(0.42 * body + 0.38 * snap)
    return out


def fade_out(samples: list[float], ms: float = 4.0) -> list[float]:
    """End on silence, so no click is heard at the cut."""
    n = min(len(samples), int(RATE * ms / 1000))
    for i in range(n):
        samples[len(samples) - n + i] *= 1.0 - (i + 1) / n
    return samples


def write_wav(path: Path, samples: list[float]) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767)))) for s in samples)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=Path, default=REPO_ROOT / "data" / "Files",
                        help="folder that receives Click1.wav and Click2.wav")
    args = parser.parse_args()
    write_wav(args.output / "Click1.wav", fade_out(tick()))
    write_wav(args.output / "Click2.wav", fade_out(click()))


if __name__ == "__main__":
    main()
