#!/usr/bin/env bash
# Makes the pictures the decoder conformance test reads: JPEGs in every sampling, coding and scan
# order from cjpeg, jpegtran and ImageMagick, PNGs of every colour type and depth from
# pictures.py, and a few damaged files. Run it from anywhere; it rewrites the .jpg and .png files
# beside it and leaves the same bytes each time (the pictures come from fixed seeds).
# Needs libjpeg-turbo-progs, imagemagick, python3 and libgs-common (Ghostscript's colour profiles).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -f ./*.jpg ./*.png ./*.tiff ./*.webp
python3 pictures.py sources "$work"
python3 pictures.py pngs "$here"

# jpeg NAME SOURCE CJPEG-OPTIONS...
jpeg() {
    local name=$1 source=$2
    shift 2
    cjpeg -quality 85 "$@" "$work/$source" >"$name.jpg"
}
# rescan NAME FROM SCRIPT JPEGTRAN-OPTIONS...: the coefficients of FROM in scans of our own order
rescan() {
    local name=$1 from=$2 script=$3
    shift 3
    printf '%s\n' "$script" >"$work/$name.scans"
    jpegtran -scans "$work/$name.scans" "$@" "$from.jpg" >"$name.jpg"
}

declare -A samplings=([444]=1x1 [422]=2x1 [420]=2x2 [440]=1x2 [411]=4x1)
for sampling in "${!samplings[@]}"; do
    jpeg "baseline-$sampling" photo.ppm -sample "${samplings[$sampling]}"
    jpeg "progressive-$sampling" photo.ppm -sample "${samplings[$sampling]}" -progressive
done
jpeg baseline-grey photo.pgm
jpeg progressive-grey photo.pgm -progressive
jpeg baseline-rgb photo.ppm -rgb
jpeg progressive-rgb photo.ppm -rgb -progressive
jpeg arithmetic-baseline-420 photo.ppm -arithmetic
jpeg arithmetic-progressive-420 photo.ppm -arithmetic -progressive
jpeg restarts-baseline-420 photo.ppm -restart 2
jpeg restarts-progressive-420 photo.ppm -progressive -restart 1
jpeg restarts-progressive-444 photo.ppm -sample 1x1 -progressive -restart 5B
jpeg progressive-420-q100 photo.ppm -progressive -quality 100
jpeg progressive-420-q20 photo.ppm -progressive -quality 20
jpeg large-baseline-420 large.ppm
jpeg large-progressive-420 large.ppm -progressive
jpeg large-progressive-422-restarts large.ppm -sample 2x1 -progressive -restart 3B
jpeg odd-progressive-420 odd.ppm -progressive
jpeg odd-baseline-422 odd.ppm -sample 2x1
jpeg 17x9-progressive-420 small.ppm -progressive
jpeg 17x9-baseline-420 small.ppm
jpeg 17x9-progressive-grey small.pgm -progressive
jpeg 1x1-progressive-420 dot.ppm -progressive
jpeg 1x1-baseline-444 dot.ppm -sample 1x1

# Successive approximation, bands split, DC one component at a time, in odd orders.
rescan scans-refined-420 baseline-420 \
    "0: 0 0 0 1; 1: 0 0 0 1; 2: 0 0 0 0; 0: 1 2 0 1; 0: 3 63 0 2; 1: 1 63 0 0;
     2: 1 20 0 0; 2: 21 63 0 0; 0: 3 63 2 1; 0: 0 0 1 0; 1: 0 0 1 0; 0: 1 63 1 0;"
rescan scans-refined-444 baseline-444 \
    "0 1 2: 0 0 0 2; 0: 1 9 0 1; 2: 1 63 0 1; 1: 1 63 0 1; 0: 10 63 0 1; 0 1 2: 0 0 2 1;
     0 1 2: 0 0 1 0; 0: 1 63 1 0; 1: 1 63 1 0; 2: 1 63 1 0;" -restart 1
rescan scans-refined-grey baseline-grey \
    "0: 0 0 0 2; 0: 1 5 0 2; 0: 6 63 0 2; 0: 0 0 2 1; 0: 1 63 2 1; 0: 0 0 1 0; 0: 1 63 1 0;"
rescan scans-whole-422 baseline-422 "0 1 2: 0 0 0 0; 0: 1 63 0 0; 1: 1 63 0 0; 2: 1 63 0 0;"

# CMYK, which only Qt's reader turns into colours.
convert "$work/photo.ppm" -colorspace CMYK -quality 85 cmyk-baseline.jpg
convert "$work/photo.ppm" -colorspace CMYK -quality 85 -interlace JPEG cmyk-progressive.jpg

# Photos converted into other colour spaces, with the profile embedded, as cameras and photo
# editors write them: Adobe RGB and ROMM RGB, a CMYK print profile, a grey one; a PNG whose gAMA
# says it is linear, and one whose gAMA and cHRM say sRGB.
icc=/usr/share/color/icc/ghostscript
tagged() {
    local name=$1 source=$2 profile=$3
    shift 3
    convert "$work/$source" -profile "$icc/srgb.icc" -profile "$icc/$profile" "$@" "$name"
}
tagged tagged-a98-baseline-420.jpg photo.ppm a98.icc -quality 90 -sampling-factor 2x2
tagged tagged-romm-progressive-420.jpg large.ppm rommrgb.icc -quality 90 -interlace JPEG
tagged tagged-a98-rgb8.png photo.ppm a98.icc -define png:exclude-chunk=date,time
tagged tagged-cmyk-baseline.jpg photo.ppm ps_cmyk.icc -quality 90
convert "$work/photo.pgm" -profile "$icc/ps_gray.icc" -quality 90 tagged-grey-baseline.jpg
convert -size 48x32 xc:red -profile "$icc/srgb.icc" -profile "$icc/a98.icc" -quality 95 \
    tagged-a98-red.jpg
python3 pictures.py gamma rgb8-plain.png tagged-linear-gamma.png 1.0
python3 pictures.py gamma rgb8-plain.png srgb-gamma-chrm.png 0.45455 \
    0.3127 0.329 0.64 0.33 0.3 0.6 0.15 0.06
# The same photo tagged in the formats Qt's readers decode.
tagged tagged-a98.tiff photo.ppm a98.icc -compress zip
tagged tagged-a98.webp photo.ppm a98.icc -quality 90

# Every EXIF orientation, on a picture that is neither square nor of whole blocks.
jpeg turned-source turned.ppm -progressive
jpeg turned-baseline-source turned.ppm
for orientation in 1 2 3 4 5 6 7 8; do
    python3 pictures.py exif turned-source.jpg "exif$orientation-progressive-420.jpg" "$orientation"
done
python3 pictures.py exif turned-baseline-source.jpg exif6-baseline-420.jpg 6
python3 pictures.py exif turned-baseline-source.jpg exif5-baseline-420.jpg 5
rm turned-source.jpg turned-baseline-source.jpg

# Damaged files: libjpeg and libpng show what they can of them, or refuse them.
python3 pictures.py flip-dc restarts-progressive-420.jpg damaged-dc-short-restarts-420.jpg \
    "extraneous bytes"
python3 pictures.py flip-dc restarts-progressive-420.jpg damaged-dc-long-restarts-420.jpg \
    "premature end"
python3 pictures.py cut baseline-420.jpg cut-baseline-420.jpg 60
python3 pictures.py cut progressive-420.jpg cut-progressive-420.jpg 70
python3 pictures.py bad-crc rgb8-plain.png damaged-idat-crc.png IDAT
python3 pictures.py bad-crc rgb8-key-plain.png damaged-trns-crc.png tRNS
python3 pictures.py cut-idat rgb8-large.png cut-idat-rgb8.png

# Tiny pictures of the kinds above for the picture fuzzer to start from: small, so that it runs
# fast.
seeds=$here/../../../fuzz/picture-corpus
rm -f "$seeds"/tiny-*
python3 pictures.py seeds "$work"
cp "$work"/tiny-*.png "$seeds/"
cjpeg -quality 85 -progressive -restart 1 "$work/tiny.ppm" >"$seeds/tiny-progressive-420-restarts.jpg"
cjpeg -quality 85 -sample 2x1 "$work/tiny.ppm" >"$work/tiny-422.jpg"
rescan tiny-refined-422 "$work/tiny-422" \
    "0: 0 0 0 1; 1: 0 0 0 1; 2: 0 0 0 0; 0: 1 5 0 1; 0: 6 63 0 1; 1: 1 63 0 0; 2: 1 63 0 0;
     0: 0 0 1 0; 1: 0 0 1 0; 0: 1 63 1 0;"
mv tiny-refined-422.jpg "$seeds/"
cjpeg -quality 85 -progressive -arithmetic "$work/tiny.ppm" >"$seeds/tiny-arithmetic-progressive.jpg"
cjpeg -quality 85 -progressive "$work/tiny.pgm" >"$work/tiny-grey.jpg"
python3 pictures.py exif "$work/tiny-grey.jpg" "$seeds/tiny-exif5-progressive-grey.jpg" 5
cjpeg -quality 85 -sample 4x1 "$work/tiny.ppm" >"$seeds/tiny-baseline-411.jpg"
# Tiny photos with colour profiles: Adobe RGB in a baseline and a progressive JPEG and a PNG, a
# CMYK print profile, a PNG whose gAMA says linear.
convert "$work/tiny.ppm" -profile "$icc/srgb.icc" -profile "$icc/a98.icc" "$seeds/tiny-tagged-a98.jpg"
convert "$work/tiny.ppm" -profile "$icc/srgb.icc" -profile "$icc/a98.icc" -interlace JPEG \
    "$seeds/tiny-tagged-a98-progressive.jpg"
convert "$work/tiny.ppm" -profile "$icc/srgb.icc" -profile "$icc/a98.icc" -define png:exclude-chunk=date,time \
    "$seeds/tiny-tagged-a98.png"
convert "$work/tiny.ppm" -profile "$icc/srgb.icc" -profile "$icc/ps_cmyk.icc" \
    "$seeds/tiny-tagged-cmyk.jpg"
python3 pictures.py gamma "$seeds/tiny-rgb8-key-plain.png" "$seeds/tiny-tagged-linear-gamma.png" 1.0

echo "corpus: $(ls ./*.jpg ./*.png | wc -l) files, $(du -ch ./*.jpg ./*.png | tail -n 1 | cut -f1)"
