#include "platform/application.h"
#include "platform/console_text.h"
#include "platform/script_prompter.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// What a script prompter wrote, read back from its file.
QString written(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, qsizetype(n));
    return fromConsoleBytes(bytes);
}

}  // namespace

TEST(ScriptPrompter, WritesTitleTextAndTheDefaultAnswerAndTakesIt) {
    const struct {
        int style;
        int answer;
        const char* caption;
    } cases[] = {
        {vbOKOnly, vbOK, "Aceptar"},
        {vbOKCancel | vbQuestion, vbOK, "Aceptar"},
        {vbAbortRetryIgnore | vbCritical, vbAbort, "Anular"},
        {vbAbortRetryIgnore | vbDefaultButton2, vbRetry, "Reintentar"},  // the second button as default
        {vbAbortRetryIgnore | vbDefaultButton3, vbIgnore, "Omitir"},
        {vbYesNoCancel, vbYes, "Sí"},
        {vbYesNo | vbDefaultButton2, vbNo, "No"},
        {vbRetryCancel | vbDefaultButton2, vbCancel, "Cancelar"},
        {vbOKOnly | vbDefaultButton3, vbOK, "Aceptar"},  // no third button: the first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        ScriptPrompter prompter(f);
        EXPECT_EQ(prompter.msgBox(QStringLiteral("Error 5: algo\r\n\r\nProcedimiento: Cfg"), c.style,
                                  QStringLiteral("stockfix")),
                  c.answer);
        EXPECT_EQ(written(f), QStringLiteral("[stockfix] Error 5: algo\n[stockfix] Procedimiento: Cfg\n"
                                             "[stockfix] respuesta: %1\n")
                                  .arg(QString::fromUtf8(c.caption)));
        std::fclose(f);
    }
}

TEST(ScriptPrompter, TheInputPromptTakesItsDefaultTextAndNobodySeesWindows) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    ScriptPrompter prompter(f);
    EXPECT_EQ(prompter.inputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."), QStringLiteral("Carga de Datos"),
                                QStringLiteral("2.00")),
              QStringLiteral("2.00"));
    EXPECT_EQ(written(f), QStringLiteral("[Carga de Datos] Ingrese la Cantidad del Articulo...\n"
                                         "[Carga de Datos] respuesta: \"2.00\"\n"));
    EXPECT_FALSE(prompter.hasWindows());
    std::fclose(f);
}

TEST(ScriptPrompter, AnErrorReportedTurnsAnEndWithZeroIntoOne) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    ScriptPrompter script(f);
    ConsolePrompter console;
    forgetReportedErrors();
    EXPECT_EQ(script.finalStatus(0), 0);
    noteErrorReported();
    EXPECT_EQ(script.finalStatus(0), 1);
    EXPECT_EQ(script.finalStatus(2), 2);
    EXPECT_EQ(console.finalStatus(0), 0);  // batch mode keeps its own statuses
    forgetReportedErrors();
    std::fclose(f);
}

TEST(ScriptPrompter, TheEnvironmentChoosesScriptMode) {
    const struct {
        const char* value;
        bool script;
    } cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"si", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value) qputenv("STOCKFIX_SCRIPT", c.value);
        else qunsetenv("STOCKFIX_SCRIPT");
        EXPECT_EQ(scriptModeRequested(), c.script);
        EXPECT_EQ(useWindowPrompter().hasWindows(), !c.script);
        EXPECT_FALSE(useWindowPrompter(true).hasWindows());
    }
    qunsetenv("STOCKFIX_SCRIPT");
    setPrompter(nullptr);
}
