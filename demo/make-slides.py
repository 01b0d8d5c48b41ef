#!/usr/bin/env python3
"""Draws the progress page's slide show pictures for every language and display scale.

  make-slides.py [LANGUAGE_DIR]

Writes LANGUAGE_DIR/<LANGID>/slidesPro/<scale>/slideN.jpg (default: demo/language).
The slide show shows them unscaled across the page: 660 x 284 at 100 %.
Needs ImageMagick's convert (Debian package imagemagick), DejaVu fonts and, for
Chinese and Japanese captions, WenQuanYi Micro Hei (fonts-wqy-microhei).
"""

import os
import subprocess
import sys

CONVERT = "/usr/bin/convert"
DESIGN_WIDTH, DESIGN_HEIGHT = 660, 284
SCALES = (100, 125, 150, 200)
LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Per slide: accent colours (deep, bright) of its artwork.
ACCENTS = (("#1b3a6b", "#3d8bfd"), ("#4a1d5e", "#c05cf0"), ("#0f4a44", "#2fd3b5"))

CAPTIONS = {
    1033: (("Every image, instantly", "Opens more than 100 formats, from RAW to HEIC."),
           ("Edit with precision", "Layers, masks and non-destructive filters."),
           ("Your library, in order", "Albums, tags and fast search across all your photos.")),
    1031: (("Jedes Bild, sofort", "Öffnet über 100 Formate, von RAW bis HEIC."),
           ("Präzise bearbeiten", "Ebenen, Masken und verlustfreie Filter."),
           ("Ihre Bibliothek, geordnet", "Alben, Schlagwörter und schnelle Suche in allen Fotos.")),
    1036: (("Chaque image, en un instant", "Ouvre plus de 100 formats, du RAW au HEIC."),
           ("Retouchez avec précision", "Calques, masques et filtres non destructifs."),
           ("Votre photothèque, en ordre", "Albums, mots-clés et recherche rapide dans vos photos.")),
    1040: (("Ogni immagine, all'istante", "Apre oltre 100 formati, dal RAW all'HEIC."),
           ("Modifica con precisione", "Livelli, maschere e filtri non distruttivi."),
           ("La tua libreria, in ordine", "Album, tag e ricerca rapida in tutte le tue foto.")),
    1034: (("Cada imagen, al instante", "Abre más de 100 formatos, de RAW a HEIC."),
           ("Edita con precisión", "Capas, máscaras y filtros no destructivos."),
           ("Tu biblioteca, en orden", "Álbumes, etiquetas y búsqueda rápida en todas tus fotos.")),
    1041: (("あらゆる画像をすぐに", "RAW から HEIC まで 100 種類以上の形式に対応。"),
           ("思いどおりに編集", "レイヤー、マスク、非破壊フィルター。"),
           ("ライブラリをすっきり整理", "アルバム、タグ、すべての写真をすばやく検索。")),
    2052: (("每张图片，即刻打开", "支持从 RAW 到 HEIC 的 100 多种格式。"),
           ("精准编辑", "图层、蒙版和无损滤镜。"),
           ("井然有序的图库", "相册、标签，快速搜索您的所有照片。")),
    1028: (("每張圖片，即刻開啟", "支援從 RAW 到 HEIC 的 100 多種格式。"),
           ("精準編輯", "圖層、遮罩和非破壞性濾鏡。"),
           ("井然有序的圖庫", "相簿、標籤，快速搜尋您的所有相片。")),
}
CJK_LANGUAGES = {1041, 2052, 1028}


def slide_command(path, scale, accent, title, subtitle, cjk):
    f = scale / 100.0

    def s(value):
        return int(round(value * f))

    width, height = s(DESIGN_WIDTH), s(DESIGN_HEIGHT)
    deep, bright = accent
    title_font = CJK if cjk else LATIN_BOLD
    body_font = CJK if cjk else LATIN
    command = [CONVERT, "-size", "%dx%d" % (width, height), "radial-gradient:%s-#18191E" % deep,
               "-gravity", "NorthWest", "-extent", "%dx%d" % (width, height)]
    # Stacked "photo" cards on the right, the top one with a sky-and-hills picture.
    cards = ((430, 52, 600, 212, "#2a2d38", -8), (452, 44, 622, 204, "#343846", 4))
    for x0, y0, x1, y1, colour, angle in cards:
        command += ["(", "-size", "%dx%d" % (s(x1 - x0), s(y1 - y0)), "xc:none", "-fill", colour,
                    "-draw", "roundrectangle 0,0 %d,%d %d,%d" % (s(x1 - x0) - 1, s(y1 - y0) - 1, s(10), s(10)),
                    "-background", "none", "-rotate", str(angle), ")", "-geometry", "+%d+%d" % (s(x0), s(y0)),
                    "-composite"]
    px, py, pw, ph = s(470), s(62), s(150), s(120)
    command += ["(", "-size", "%dx%d" % (pw, ph), "gradient:%s-%s" % (bright, deep),
                "-fill", "#ffffff40", "-draw", "circle %d,%d %d,%d" % (s(112), s(30), s(112), s(44)),
                "-fill", "#0c0d12c0", "-draw", "polygon 0,%d %d,%d %d,%d %d,%d %d,%d %d,%d 0,%d" % (
                    s(95), s(40), s(60), s(75), s(88), s(110), s(52), pw, s(90), pw, ph, ph),
                ")", "-geometry", "+%d+%d" % (px, py), "-composite"]
    # Accent bubbles behind the text.
    command += ["-fill", bright + "30", "-draw", "circle %d,%d %d,%d" % (s(60), s(250), s(60), s(170)),
                "-fill", bright + "18", "-draw", "circle %d,%d %d,%d" % (s(380), s(-20), s(380), s(40))]
    # Wordmark, caption and subtitle.
    command += ["-fill", bright, "-font", LATIN_BOLD, "-pointsize", str(s(13)),
                "-annotate", "+%d+%d" % (s(40), s(62)), "FENWYX PRO",
                "-fill", "#ffffff", "-font", title_font, "-pointsize", str(s(28 if len(title) <= 22 else 24)),
                "-annotate", "+%d+%d" % (s(40), s(86)), title,
                "(", "-size", "%dx" % s(360), "-background", "none", "-fill", "#b8bcc8", "-font", body_font,
                "-pointsize", str(s(13)), "caption:" + subtitle, ")", "-geometry", "+%d+%d" % (s(40), s(134)),
                "-composite",
                "-fill", bright, "-draw", "roundrectangle %d,%d %d,%d %d,%d" % (
                    s(40), s(206), s(100), s(210), s(2), s(2)),
                "-strip", "-interlace", "Plane", "-sampling-factor", "4:2:0", "-quality", "82", path]
    return command


def main(argv):
    out = argv[0] if argv else os.path.join(os.path.dirname(os.path.abspath(__file__)), "language")
    if not os.path.exists(CONVERT):
        raise SystemExit("ImageMagick is missing: apt-get install imagemagick fonts-dejavu-core fonts-wqy-microhei")
    for language, slides in CAPTIONS.items():
        for scale in SCALES:
            folder = os.path.join(out, str(language), "slidesPro", str(scale))
            os.makedirs(folder, exist_ok=True)
            for index, (title, subtitle) in enumerate(slides):
                path = os.path.join(folder, "slide%d.jpg" % (index + 1))
                subprocess.run(slide_command(path, scale, ACCENTS[index], title, subtitle,
                                             language in CJK_LANGUAGES), check=True)


if __name__ == "__main__":
    main(sys.argv[1:])
