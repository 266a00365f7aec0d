// The points helper on the real widgets.
#include "app/form_points_helper.h"

#include <gtest/gtest.h>

#include "testing/window_test.h"

namespace zandorik {
namespace {

class FormPointsHelperTest : public WindowTest {};

TEST_F(FormPointsHelperTest, Placeholder) {
  drive->Press(QKeySequence(Qt::CTRL | Qt::Key_H));
  ASSERT_NE(form->PointsHelper(), nullptr);
}

}  // namespace
}  // namespace zandorik
