#pragma once
// Line reads and comma-delimited field reads over the bytes of a single-byte text file.
#include <QByteArray>
#include <QByteArrayView>

namespace text {

class TextReader
{
public:
    explicit TextReader(QByteArray data);

    // True once every byte has been consumed.
    bool atEnd() const { return pos_ >= data_.size(); }

    // The rest of the current line without its CR LF (or bare LF); moves to the next line.
    // Returns false, leaving `line` empty, when the end of the file was already reached.
    bool readLine(QByteArray &line);

    // One field: leading spaces skipped; a quoted field runs to the next quote on its line and
    // the rest up to and including the next comma (or the line end) is skipped; an unquoted
    // field runs to the next comma or the line end, which is consumed.
    // Returns false, leaving `field` empty, when the end of the file was already reached.
    bool readField(QByteArray &field);

    // The same reads giving a view of the reader's own bytes instead of a copy: no allocation
    // per read, for scans over many lines and fields. A view is valid while the reader lives.
    bool readLine(QByteArrayView &line);
    bool readField(QByteArrayView &field);

private:
    qsizetype lineEnd(qsizetype from) const;
    qsizetype find(char c, qsizetype from, qsizetype end) const;
    QByteArrayView bytes(qsizetype from, qsizetype end) const;
    QByteArrayView lineText(qsizetype from, qsizetype end) const;

    QByteArray data_;
    qsizetype pos_ = 0;
    // The end of the line last searched: reads within one line find it again without
    // scanning, so a line of many fields costs its length once, not once per field.
    mutable qsizetype knownLineEnd_ = -1;
};

// The text without its trailing blanks (the guide pads its fields, the settings file may too).
QByteArray withoutTrailingBlanks(const QByteArray &text);

} // namespace text
