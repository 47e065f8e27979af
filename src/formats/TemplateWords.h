#pragma once
// The words on the placeholder pictures (BACK, FRONT, SPINE, "drop a picture here"...)
// are drawn when a placeholder is loaded, in the current language, over a picture that
// has none. Modelli/Words.txt, written with the pictures, says where each word goes.
#include "formats/Templates.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

namespace vt {

struct LanguageTable;

struct TemplateWord
{
    int entry = -1;    // the LanguageTable entry of the word
    QString suffix;    // drawn after the word as it stands ("7 mm")
    double x = 0, y = 0;   // anchor as shares of the width and height: the centre, or for
                           // a vertical word the centre of its top end
    double size = 0;   // em height as a share of the picture height
    double length = 0; // the most it may run, as a share of the width (vertical: height)
    bool vertical = false; // turned a quarter clockwise, reading downwards
    bool bold = false;
    QColor colour;
};

// Words.txt's lines by picture (the path relative to Modelli, "Box/01 Empty Smile.jpg").
// Lines that cannot be read are skipped; a missing file gives no words.
QHash<QString, QList<TemplateWord>> readTemplateWords(const QString &wordsFile);

// The words' texts in one string: a placeholder drawn for another language differs.
QString templateWordsKey(const LanguageTable &texts);

// Draws the words onto the picture, each shrunk to its length where the language's word
// is longer. Words whose entry is empty are left out.
void drawTemplateWords(QImage &picture, const QList<TemplateWord> &words, const LanguageTable &texts);

// Loads placeholders of appPath's Modelli folder with their words drawn in the language
// of texts (read when a placeholder is loaded) and marked with templateWordsKey.
// texts must outlive the loader.
PictureLoader placeholderLoader(const QString &appPath, const LanguageTable &texts, const PictureLoader &load);

// The words key a placeholder was drawn with; empty for any other picture.
QString placeholderWordsKey(const QImage &picture);

} // namespace vt
