// The designer's functions in the program: the boxes of report expressions go through the dialog layer.
#include "designer/DesignerScripts.h"
#include "report/expressions/Evaluator.h"
#include "widgets/DialogRecorder.h"

#include <gtest/gtest.h>

namespace {

// The designer tests run with the designer's functions, as the program does from its start.
class DesignerScriptsInstalled : public testing::Environment
{
public:
    void SetUp() override { installDesignerScripts(); }
};

[[maybe_unused]] testing::Environment *const installed
    = testing::AddGlobalTestEnvironment(new DesignerScriptsInstalled);

QString eval(const char *text)
{
    TRpEvaluator evaluator;
    TRpEvValue value;
    evaluator.ComputeOnce(QString::fromLatin1(text), value);
    return rpEvDescribe(value);
}

TEST(DesignerScripts, BoxesOfExpressionsAskThroughTheDialogLayer)
{
    DialogRecorder dialogs;
    dialogs.answers = { Dialogs::Answer::No, Dialogs::Answer::Ok, Dialogs::Answer::Cancel };
    EXPECT_EQ(eval("YESNOBOX('Imprimer ?')"), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("OKBOX('Fini')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("OKCANCELBOX('Encore ?')"), QStringLiteral("boolean: False"));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].kind, Dialogs::MessageKind::Confirmation);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Imprimer ?"));
    EXPECT_EQ(dialogs.messages[1].kind, Dialogs::MessageKind::Information);
    EXPECT_EQ(dialogs.messages[2].kind, Dialogs::MessageKind::OkCancel);
    // The designer's other functions are there too.
    EXPECT_EQ(eval("RGBCOLOR(0, 0, 255)"), QStringLiteral("integer: 16711680"));
}

} // namespace
