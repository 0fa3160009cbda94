#include "textreader.h"

#include <cstring>
#include <utility>

namespace text {

TextReader::TextReader(QByteArray data) : data_(std::move(data)) {}

// Index of the LF that ends the line holding `from`, or the size of the data.
// Reads only move forward, so `from` never lies before the start of the remembered line.
qsizetype TextReader::lineEnd(qsizetype from) const
{
    if (from <= knownLineEnd_)
        return knownLineEnd_;
    const qsizetype lf = data_.indexOf('\n', from);
    knownLineEnd_ = lf < 0 ? data_.size() : lf;
    return knownLineEnd_;
}

// Index of the first `c` in [from, end), or -1: searches never run past the current line.
qsizetype TextReader::find(char c, qsizetype from, qsizetype end) const
{
    if (from >= end)
        return -1;
    const void *hit = std::memchr(data_.constData() + from, c, size_t(end - from));
    return hit ? static_cast<const char *>(hit) - data_.constData() : -1;
}

QByteArrayView TextReader::bytes(qsizetype from, qsizetype end) const
{
    return QByteArrayView(data_.constData() + from, end - from);
}

// Bytes from `from` up to the line end `end`, without the CR of a CR LF pair.
QByteArrayView TextReader::lineText(qsizetype from, qsizetype end) const
{
    if (end > from && data_.at(end - 1) == '\r')
        --end;
    return bytes(from, end);
}

bool TextReader::readLine(QByteArray &line)
{
    QByteArrayView view;
    const bool read = readLine(view);
    line = view.toByteArray();
    return read;
}

bool TextReader::readField(QByteArray &field)
{
    QByteArrayView view;
    const bool read = readField(view);
    field = view.toByteArray();
    return read;
}

bool TextReader::readLine(QByteArrayView &line)
{
    line = QByteArrayView();
    if (atEnd())
        return false;
    const qsizetype end = lineEnd(pos_);
    line = lineText(pos_, end);
    pos_ = end + 1;
    return true;
}

bool TextReader::readField(QByteArrayView &field)
{
    field = QByteArrayView();
    if (atEnd())
        return false;
    while (pos_ < data_.size() && data_.at(pos_) == ' ')
        ++pos_;
    const qsizetype end = lineEnd(pos_);

    if (pos_ < end && data_.at(pos_) == '"') {
        const qsizetype start = pos_ + 1;
        const qsizetype close = find('"', start, end);
        if (close < 0) {
            field = lineText(start, end);
            pos_ = end + 1;
            return true;
        }
        field = bytes(start, close);
        const qsizetype comma = find(',', close + 1, end);
        pos_ = comma >= 0 ? comma + 1 : end + 1;
        return true;
    }

    const qsizetype comma = find(',', pos_, end);
    if (comma >= 0) {
        field = bytes(pos_, comma);
        pos_ = comma + 1;
    } else {
        field = lineText(pos_, end);
        pos_ = end + 1;
    }
    return true;
}

QByteArray withoutTrailingBlanks(const QByteArray &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == ' ')
        --end;
    return text.left(end);
}

} // namespace text
