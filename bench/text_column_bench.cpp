// text_column_bench: appending N texts (default 1,000,000, 9 to 40 characters) to a column
// of texts back to back with their end offsets, kept in PodBuffer (realloc) or in Qt's own
// containers. Each way runs 5 times and keeps its quickest run. The floor: the same
// characters and offsets copied into arrays sized beforehand. Prints "name value unit".
#include "bench_output.h"
#include "platform/pod_buffer.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<QString> makeTexts(int n) {
    std::mt19937 rng(3);
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz0123456789";
    std::vector<QString> texts(static_cast<size_t>(n));
    for (QString& s : texts) {
        const int length = std::uniform_int_distribution<int>(9, 40)(rng);
        for (int i = 0; i < length; ++i) s += QLatin1Char(letters[std::uniform_int_distribution<int>(0, 62)(rng)]);
    }
    return texts;
}

// The quickest of 5 runs of `fill`, in milliseconds; `check` keeps the work from being dropped.
template <class Fill>
double quickest(Fill fill, long long& check) {
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        check += fill();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// QList takes no range of plain values: it grows (zero-filled), then the characters are copied.
void appendTo(QList<char16_t>& chars, const QString& s) {
    const qsizetype at = chars.size();
    chars.resize(at + s.size());
    std::memcpy(chars.data() + at, s.utf16(), size_t(s.size()) * 2);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int n = argc > 2 && std::strcmp(argv[1], "--rows") == 0 ? std::atoi(argv[2]) : 1000000;
    const std::vector<QString> texts = makeTexts(n);
    size_t total = 0;
    for (const QString& s : texts) total += size_t(s.size());
    long long check = 0;

    const double floorMs = quickest([&] {
        std::vector<char16_t> chars(total);
        std::vector<uint32_t> ends(texts.size());
        size_t at = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            std::memcpy(chars.data() + at, texts[i].utf16(), size_t(texts[i].size()) * 2);
            at += size_t(texts[i].size());
            ends[i] = uint32_t(at);
        }
        return (long long)(ends.back() + chars[at / 2]);
    }, check);
    const double podMs = quickest([&] {
        platform::PodBuffer<char16_t> chars;
        platform::PodBuffer<uint32_t> ends;
        for (const QString& s : texts) {
            chars.append(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
            ends.push_back(uint32_t(chars.size()));
        }
        return (long long)(ends.back() + chars[chars.size() / 2]);
    }, check);
    const double qlistMs = quickest([&] {
        QList<char16_t> chars;
        QList<qsizetype> ends;
        for (const QString& s : texts) {
            appendTo(chars, s);
            ends.append(chars.size());
        }
        return (long long)(ends.back() + chars[chars.size() / 2]);
    }, check);
    const double qlist32Ms = quickest([&] {
        QList<char16_t> chars;
        QList<uint32_t> ends;
        for (const QString& s : texts) {
            appendTo(chars, s);
            ends.append(uint32_t(chars.size()));
        }
        return (long long)(ends.back() + chars[chars.size() / 2]);
    }, check);
    const double qstringMs = quickest([&] {
        QString chars;
        QList<qsizetype> ends;
        for (const QString& s : texts) {
            chars.append(s);
            ends.append(chars.size());
        }
        return (long long)(ends.back() + chars[chars.size() / 2].unicode());
    }, check);
    const double vectorMs = quickest([&] {
        std::vector<char16_t> chars;
        std::vector<uint32_t> ends;
        for (const QString& s : texts) {
            chars.insert(chars.end(), reinterpret_cast<const char16_t*>(s.utf16()),
                         reinterpret_cast<const char16_t*>(s.utf16()) + s.size());
            ends.push_back(uint32_t(chars.size()));
        }
        return (long long)(ends.back() + chars[chars.size() / 2]);
    }, check);

    printFigure("texts", n, 0, "count");
    printFigure("floor_presized_ms", floorMs, 1, "ms");
    printFigure("podbuffer_u32_ms", podMs, 1, "ms");
    printFigure("podbuffer_to_floor", podMs / floorMs, 2, "x");
    printFigure("qlist_char16_qsizetype_ms", qlistMs, 1, "ms");
    printFigure("qlist_char16_qsizetype_to_floor", qlistMs / floorMs, 2, "x");
    printFigure("qlist_char16_u32_ms", qlist32Ms, 1, "ms");
    printFigure("qlist_char16_u32_to_floor", qlist32Ms / floorMs, 2, "x");
    printFigure("qstring_qlist_qsizetype_ms", qstringMs, 1, "ms");
    printFigure("qstring_qlist_qsizetype_to_floor", qstringMs / floorMs, 2, "x");
    printFigure("std_vector_u32_ms", vectorMs, 1, "ms");
    printFigure("std_vector_u32_to_floor", vectorMs / floorMs, 2, "x");
    return check == 42 ? 1 : 0;
}
