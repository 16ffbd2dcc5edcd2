// Random sequences of user actions of every kind, taken back and done again.
#include "UndoFixture.h"

namespace tontoko::test {
namespace {

TEST_F(UndoTest, RandomSequencesUndoToTheirStartAndRedoToTheirEnd) {
    Open();
    std::mt19937 rng(20261208);
    const std::vector<UserAction>& actions = Actions();
    constexpr int kSequences = 500;
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        // Each sequence starts a history of its own.
        stack->clear();
        const QStringList startSeen = Seen();
        const QByteArray startBytes = Saved();
        std::string made;
        const int length = 1 + int(rng() % 40);
        for (int i = 0; i < length; ++i) {
            const UserAction& action = actions[rng() % actions.size()];
            if (action.run(*this, rng)) {
                made += std::string(action.name) + "; ";
            }
        }
        SCOPED_TRACE("sequence " + std::to_string(sequence) + ": " + made);
        const int steps = Steps();
        const QStringList endSeen = Seen();
        const QByteArray endBytes = Saved();

        UndoTimes(steps);
        ASSERT_TRUE(Seen() == startSeen) << Difference(Seen(), startSeen);
        ASSERT_EQ(Saved(), startBytes);
        EXPECT_FALSE(Get<QAction>("MI_Undo")->isEnabled());

        RedoTimes(steps);
        ASSERT_TRUE(Seen() == endSeen) << Difference(Seen(), endSeen);
        ASSERT_EQ(Saved(), endBytes);
        EXPECT_FALSE(Get<QAction>("MI_Redo")->isEnabled());

        // Undo some, then a new change: nothing is left to redo.
        if (steps > 0) {
            UndoTimes(1 + int(rng() % unsigned(steps)));
            const int before = Steps();
            for (int tries = 0; tries < 20 && Steps() == before; ++tries) {
                actions[rng() % actions.size()].run(*this, rng);
            }
            if (Steps() > before) {
                EXPECT_FALSE(stack->canRedo());
                EXPECT_FALSE(Get<QAction>("MI_Redo")->isEnabled());
            }
        }
    }
}

}  // namespace
}  // namespace tontoko::test
