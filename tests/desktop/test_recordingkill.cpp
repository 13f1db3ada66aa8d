// The program killed with SIGKILL while it records: OpList.txt stays
// readable and every image it lists is a whole file.
#include "capture/imageprobe.h"
#include "platform/x11/x11syntheticinput.h"
#include "store/capturefolder.h"
#include "store/oplist.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/programrun.h"
#include "tests/unit/testutil.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

TEST(RecordingKilled, LeavesAListWhoseImagesAllExist) {
    FixtureApp fixture({QStringLiteral("--title"), QStringLiteral("Kill Fixture"),
                        QStringLiteral("--pos"), QStringLiteral("40,40")});
    ASSERT_TRUE(fixture.start());
    x11::X11SyntheticInput hand;
    const QRect patch = fixture.geometry("patch");
    // Killed at different moments: early, in the middle of a burst, late.
    int listed = 0;
    for (int killAfter : {6, 13, 27}) {
        ProgramRun run;
        ASSERT_TRUE(run.start({QStringLiteral("-auto")}));
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(run.path("wait")); }, 15000))
            << "the program did not start recording";
        pause(200);
        for (int i = 0; i < 40; ++i) {
            hand.moveTo(patch.topLeft() + QPoint(10 + (i % 20) * 5, 15 + (i % 2) * 25));
            pause(15);
            hand.button(MouseButton::Left, true);
            pause(15);
            hand.button(MouseButton::Left, false);
            pause(20);
            if (i == killAfter) run.process().kill(); // SIGKILL
        }
        ASSERT_TRUE(run.waitForExit());

        qputenv(kProgramFolderEnv, run.home().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        StepList steps;
        OpListHost host;
        FakeDialogs dialogs;
        OperationList list(steps, host, dialogs);
        EXPECT_TRUE(list.load()) << "after a kill at press " << killAfter;
        EXPECT_TRUE(dialogs.messages.isEmpty());
        listed += steps.count();
        for (int n = 1; n <= steps.count(); ++n) {
            const QString path = findImageFile(captureFolder(), steps.field(n, FieldImageName));
            ASSERT_FALSE(path.isEmpty()) << "step " << n << " after a kill at " << killAfter;
            EXPECT_EQ(probeImageSize(path).type, ImageSize::Jpeg);
            EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        }
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
        conf() = Settings();
    }
    // How many steps each run wrote before its kill depends on the machine's
    // load; that it recorded, and that what is listed is whole, do not.
    EXPECT_GT(listed, 0) << "nothing was recorded";
}
