// "Point-costing doublecheck": the partial costs of the last calculation.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <array>
#include <bitset>
#include <string>

namespace zandorik {

class FormCheck : public QDialog {
  Q_OBJECT
 public:
  // Fields in breakdown order: TextSpeed, TextAttack, TextDefense,
  // TextDamage, TextSpeedPower, TextAttackPower, TextDefensePower,
  // TextDamagePower, TextRange, TextRangeBolts, TextTeam.
  static constexpr int kFieldCount = 11;

  explicit FormCheck(QWidget* owner);

  // Writes the fields named in `which` (all by default).
  void SetValues(const std::array<std::string, kFieldCount>& texts,
                 std::bitset<kFieldCount> which = std::bitset<kFieldCount>().set());
  QLineEdit* Field(int index) const { return fields_[index]; }

 private:
  std::array<QLineEdit*, kFieldCount> fields_{};
};

}  // namespace zandorik
