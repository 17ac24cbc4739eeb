// Every input kept in the fuzzing corpora runs through its target with the properties
// checked: what the fuzzers once found stays fixed.
#include "fuzz_target.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

int fuzz_command_line(const uint8_t*, size_t);
int fuzz_mask_file(const uint8_t*, size_t);
int fuzz_ini_file(const uint8_t*, size_t);
int fuzz_sql_dialect(const uint8_t*, size_t);
int fuzz_val_format(const uint8_t*, size_t);
int fuzz_journal_reader(const uint8_t*, size_t);

namespace {

struct Target {
    const char* name;
    int (*run)(const uint8_t*, size_t);
};

class CorpusReplay : public ::testing::TestWithParam<Target> {};

}  // namespace

TEST_P(CorpusReplay, EveryKeptInputKeepsItsProperties) {
    const QDir corpus(QStringLiteral(FUZZ_CORPUS_DIR "/") + QString::fromLatin1(GetParam().name));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << corpus.path().toStdString();
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_EQ(GetParam().run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay,
                         ::testing::Values(Target{"command_line", fuzz_command_line}, Target{"mask_file", fuzz_mask_file},
                                           Target{"ini_file", fuzz_ini_file}, Target{"sql_dialect", fuzz_sql_dialect},
                                           Target{"val_format", fuzz_val_format},
                                           Target{"journal_reader", fuzz_journal_reader}),
                         [](const auto& info) { return std::string(info.param.name); });
