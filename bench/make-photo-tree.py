#!/usr/bin/env python3
"""Generate the synthetic photo-folder benchmark corpus (deterministic).

  bench/make-photo-tree.py [--files 20000] [--out photo-tree/tree] [--bases photo-tree/bases] [--seed 1234]

Needs ImageMagick's convert and exiftool (Debian: imagemagick, libimage-exiftool-perl);
the benchmark scripts install them through bench/common.sh.

Layout: OUT/Axx/Byy/  (20 top folders x 10 sub folders = 200 leaf folders, plus
the 20 top folders themselves hold a few files, so a walker must handle files at
two depths). Files are real JPEGs derived from ~48 ImageMagick base images of
different sizes/orientations (baseline and progressive, some with EXIF + thumbnail
and Orientation tag). Each non-duplicate file gets a unique COM segment after SOI
(id + random padding), so files differ in size and in their first bytes, as real
photos with EXIF timestamps do.

  ~10 % exact duplicates (byte copies of another file in the tree, some in sets of 3)
  ~1 %  near-duplicates: same size and same first 64 KiB as another file, last
        bytes before EOI changed (forces a full compare / full hash)
  ~2 %  extra non-matching names (.png, .txt, .JPG, .jpeg) that '*.jpg' must skip

Ground truth: OUT/../manifest.tsv  (path, kind, base, width, height, orientation, dup_of)
"""
import argparse, os, random, shutil, struct, subprocess, sys

BASES = [  # (w, h, progressive, exif_orientation or 0)
    (640, 480, 0, 0), (480, 640, 0, 0), (800, 600, 0, 0), (600, 800, 0, 0),
    (1024, 768, 0, 0), (768, 1024, 0, 0), (1200, 800, 0, 0), (800, 1200, 0, 0),
    (512, 512, 0, 0), (1280, 720, 0, 0), (720, 1280, 0, 0), (1600, 1200, 0, 0),
    (1200, 1600, 0, 0), (320, 240, 0, 0), (240, 320, 0, 0), (1920, 1080, 0, 0),
    (640, 480, 1, 0), (480, 640, 1, 0), (1024, 768, 1, 0), (768, 1024, 1, 0),
    (1280, 960, 1, 0), (960, 1280, 1, 0), (1000, 1000, 1, 0), (1600, 900, 1, 0),
    (640, 480, 0, 1), (480, 640, 0, 1), (1024, 768, 0, 6), (1024, 768, 0, 8),
    (800, 600, 0, 6), (1280, 960, 0, 1), (960, 1280, 0, 1), (1600, 1200, 0, 6),
]


def make_bases(bdir, seed):
    os.makedirs(bdir, exist_ok=True)
    out = []
    for i, (w, h, prog, ori) in enumerate(BASES):
        p = os.path.join(bdir, f"base{i:02d}_{w}x{h}{'_p' if prog else ''}{'_o%d' % ori if ori else ''}.jpg")
        if not os.path.exists(p):
            cmd = ["convert", "-seed", str(seed + i), "-size", f"{w}x{h}", "plasma:", "-blur", "0x1",
                   "-quality", str(80 + i % 12), "-sampling-factor", "2x2" if i % 3 else "1x1"]
            if prog:
                cmd += ["-interlace", "Plane"]
            cmd += ["-strip", p]
            subprocess.run(cmd, check=True)
            if ori:  # EXIF block with camera tags, orientation and a thumbnail
                th = p + ".thumb.jpg"
                subprocess.run(["convert", p, "-thumbnail", "160x160", "-quality", "70", th], check=True)
                subprocess.run(["exiftool", "-q", "-overwrite_original", f"-Orientation={ori}", "-n",
                                "-Make=SynthCam", "-Model=Bench 1", "-DateTimeOriginal=2021:06:01 12:00:00",
                                f"-ThumbnailImage<={th}", p], check=True)
                os.remove(th)
        out.append((p, w, h, ori))
    return out


def with_comment(data, text):
    """Insert a COM segment after SOI and any APPn (JFIF/Exif) segments, where cameras put it."""
    assert data[:2] == b"\xff\xd8"
    pos = 2
    while data[pos] == 0xFF and 0xE0 <= data[pos + 1] <= 0xEF:
        pos += 2 + struct.unpack(">H", data[pos + 2:pos + 4])[0]
    seg = text.encode()
    return data[:pos] + b"\xff\xfe" + struct.pack(">H", len(seg) + 2) + seg + data[pos:]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--out", default="photo-tree/tree")
    ap.add_argument("--bases", default="photo-tree/bases")
    ap.add_argument("--seed", type=int, default=1234)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    bases = make_bases(a.bases, a.seed)
    blobs = [open(p, "rb").read() for p, _, _, _ in bases]
    if os.path.exists(a.out):
        shutil.rmtree(a.out)
    leaf = [os.path.join(a.out, f"A{t:02d}", f"B{s:02d}") for t in range(20) for s in range(10)]
    for d in leaf:
        os.makedirs(d)
    tops = [os.path.join(a.out, f"A{t:02d}") for t in range(20)]
    n = a.files
    n_dup = n // 10
    n_near = n // 100
    n_uniq = n - n_dup - n_near
    rows, written = [], []  # written: (path, base_idx, bytes)

    def place(i):
        d = tops[i % 20] if i % 50 == 0 else leaf[rng.randrange(200)]
        return os.path.join(d, f"IMG_{i:05d}.jpg")

    for i in range(n_uniq):
        b = rng.randrange(len(bases))
        pad = "x" * rng.randrange(0, 6000)
        data = with_comment(blobs[b], f"synthetic id={i} {pad}")
        p = place(i)
        with open(p, "wb") as f:
            f.write(data)
        written.append((p, b, data))
        _, w, h, ori = bases[b]
        rows.append((p, "unique", b, w, h, ori, ""))
    near_src = rng.sample(range(len(written)), n_near)  # distinct sources: near-dups never equal each other
    for k in range(n_near):
        i = n_uniq + k
        src_p, b, data = written[near_src[k]]
        ba = bytearray(data)
        # flip a byte just before EOI (entropy-coded data; stays decodable enough for header tools)
        j = len(ba) - 3
        while ba[j - 1] == 0xFF or ba[j] == 0xFF:  # do not touch marker/stuffing bytes
            j -= 1
        ba[j] ^= 0x01
        p = place(i)
        with open(p, "wb") as f:
            f.write(ba)
        _, w, h, ori = bases[b]
        rows.append((p, "near_dup", b, w, h, ori, src_p))
    for k in range(n_dup):
        i = n_uniq + n_near + k
        # 1 in 4 duplicates copies an earlier duplicate target again -> sets of 3
        src_p, b, data = written[rng.randrange(min(len(written), n_uniq if k % 4 else 500))]
        p = place(i)
        with open(p, "wb") as f:
            f.write(data)
        _, w, h, ori = bases[b]
        rows.append((p, "dup", b, w, h, ori, src_p))
    # non-matching extras
    extras = [".png", ".txt", ".JPG", ".jpeg"]
    for k in range(n // 50):
        ext = extras[k % 4]
        p = os.path.join(leaf[rng.randrange(200)], f"OTHER_{k:05d}{ext}")
        with open(p, "wb") as f:
            f.write(blobs[k % len(blobs)] if ext != ".txt" else b"not a picture\n" * (k % 50 + 1))
        rows.append((p, "nonmatch" + ext, -1, 0, 0, 0, ""))
    man = os.path.join(os.path.dirname(a.out.rstrip("/")), "manifest.tsv")
    with open(man, "w") as f:
        f.write("path\tkind\tbase\twidth\theight\torientation\tdup_of\n")
        for r in rows:
            f.write("\t".join(map(str, r)) + "\n")
    tot = sum(len(x[2]) for x in written)
    print(f"wrote {len(rows)} files ({n} *.jpg, {n_dup} dups, {n_near} near-dups) into {a.out}; "
          f"unique data {tot/1e6:.0f} MB; manifest {man}")


if __name__ == "__main__":
    main()
