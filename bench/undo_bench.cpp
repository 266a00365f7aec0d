// The memory that the undo history holds for 1,000 steps, counted by the
// allocator: typical edits, KO markings, and whole figures loaded (the
// largest steps there are).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "editor/dial_editor.h"
#include "testing/scripted_desktop.h"

namespace {

std::atomic<long long> liveBytes{0};

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size + 16);
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  liveBytes += static_cast<long long>(size);
  return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* block = static_cast<char*>(p) - 16;
  liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace zandorik {
namespace {

FigureRecord Figure(int seed) {
  FigureRecord r;
  r.Name = "Figure " + std::to_string(seed);
  r.Range = static_cast<std::int16_t>(2 * (seed % 7));
  for (StatRow row : kStatRows) {
    for (int k = 0; k < kColumnCount; ++k) {
      r.RowOf(row).Value[k] = static_cast<std::int16_t>(
          row == StatRow::Damage ? 1 + (seed + k) % 5 : 7 + (seed + k) % 11);
      r.RowOf(row).Colour[k] = k >= 9 ? kKOCode : kColours[1 + (seed + k) % 11].code;
    }
  }
  return r;
}

// One step of each kind, round and round.
void Edit(DialEditor& editor, ScriptedDesktop& desktop, int kind, int i) {
  const auto row = static_cast<StatRow>(i % kStatRowCount);
  switch (kind) {
    case 0:  // a square's value: a click and two keys
      editor.ClickSquare(row, i % kColumnCount);
      editor.TypeValue(std::to_string(i % 10));
      editor.TypeValue(std::to_string(i % 100));
      break;
    case 1:  // a power
      editor.ClickSquare(row, i % kColumnCount);
      editor.ChooseColour(2 + i % 10);
      break;
    case 2:  // the team
      editor.SetTeam(1 + i % 21);
      break;
    case 3:  // a KO marking of the whole dial, then the column brought back
      editor.ClickSquare(StatRow::Attack, 0);
      desktop.answers.push_back(true);
      editor.ChooseColour(0);
      break;
    case 4:  // a Speed click bringing back a KO column
      editor.ClickSquare(StatRow::Speed, 0);
      break;
    default:  // a whole figure loaded and priced
      editor.LoadFigure(Figure(i));
      break;
  }
}

void BM_HistoryMemory(benchmark::State& state) {
  const int mix = static_cast<int>(state.range(0));
  long long bytes = 0;
  std::size_t steps = 0;
  for (auto _ : state) {
    ScriptedDesktop desktop;
    const long long empty = liveBytes;
    DialEditor editor(desktop);
    const long long before = liveBytes;
    state.counters["editor_MB"] = static_cast<double>(before - empty) / 1e6;  // the baseline
    for (int i = 0; editor.UndoCount() < DialEditor::kUndoLimit; ++i) {
      int kind = mix;
      if (mix == 6) kind = i % 3;      // values, powers, teams
      if (mix == 7) kind = 3 + i % 2;  // KO markings and restores
      Edit(editor, desktop, kind, i);
      desktop.boxes.clear();  // the messages are not the history's
    }
    bytes = liveBytes - before;
    state.counters["images_MB"] = static_cast<double>(editor.History().ImageBytes()) / 1e6;
    steps = editor.UndoCount();
  }
  state.counters["steps"] = static_cast<double>(steps);
  state.counters["history_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["bytes_per_step"] = static_cast<double>(bytes) / static_cast<double>(steps);
}
// 6: typical edits; 7: KO markings; 5: loads.
BENCHMARK(BM_HistoryMemory)->Arg(6)->Arg(7)->Arg(5)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zandorik
