// The program's life as main wires it, with the session's requests emitted by the test.
#include "Lifecycle.h"
#include "SessionEvents.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "support/FakePlatform.h"
#include "support/WindowLookup.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

namespace {

class LifecycleTest : public testing::Test, protected FakePlatform
{
protected:
    void start(const char* startInTray)
    {
        storage.files.insert(storage.settingsPath(),
                             QByteArray("0\r\n") + startInTray +
                                 "\r\n1\r\n1500\r\n3000\r\n\r\n0\r\n>none\r\n");
        form.Form_Load();
        if (form.showsAfterLoad())
            form.show();
        connectLifecycle(*QCoreApplication::instance(), form, session);
    }
    void TearDown() override
    {
        for (frmOptions* dialog : openOptionsDialogs())
            dialog->cancel();
        // The unload's request to end the loop must not reach a later test's event loop.
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    Module1 module;
    frmMain form{module, services};
    SessionEvents session;
};

} // namespace

TEST_F(LifecycleTest, SessionSaveWritesTheSettingsAndTheWidgetRunsOn)
{
    start("0");
    module.Settings.RefreshHours = 6; // changed in Options, in memory only
    emit session.saveRequested();
    EXPECT_TRUE(written().startsWith("0\r\n0\r\n6\r\n1500\r\n3000\r\n")) << written().constData();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(tray.iconShown);

    emit session.endRequested();
    EXPECT_FALSE(tray.iconShown) << "unloaded";
}

TEST_F(LifecycleTest, HandOverRaisesAnOpenDialogOrBringsTheHiddenWindowBack)
{
    start("1");
    ASSERT_FALSE(form.isVisible());
    form.mnuOptions_Click();
    frmOptions* dialog = openOptionsDialogs().value(0);
    ASSERT_TRUE(dialog);

    emit session.handOverRequested();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(form.isVisible()) << "the dialog gives the window back as it was";
    dialog->cancel();
    EXPECT_FALSE(form.isVisible());

    emit session.handOverRequested();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(module.WindowShown, kTrue);
    EXPECT_FALSE(menuItem(form, "Open")->isEnabled());
    EXPECT_EQ(form.pos(), QPoint(100, 200));
}
