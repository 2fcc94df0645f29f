// Power cuts over durable writes that fill a zero tail written ahead at the
// image end, as on a disk file: every moment of each write operation, with a
// tail small enough that the operations both fill it and run past it.
#include "storage_powercut_support.h"

using namespace powercut_test;

TEST(PowerCutWithTail, EveryMomentOfEachDurableWrite) {
    const Tally tally = CutEveryOperation(kTails[1]);
    RecordProperty("cut_points", static_cast<int>(tally.cutPoints));
    RecordProperty("images", static_cast<int>(tally.images));
    EXPECT_GT(tally.images, tally.cutPoints);
}
