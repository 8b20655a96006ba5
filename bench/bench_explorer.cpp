// The explorer's row model with a listing of 100,000 items: adding the rows
// in one pass, sorting by name and by size, and a header click on a sorted
// listing. Each must stay far below what a person notices on the GUI thread.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "ui/middlewindow/explorerwindow/explorermodel.h"

namespace {

std::vector<RemoteItem> Listing(int count) {
    std::vector<RemoteItem> items(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        RemoteItem& item = items[static_cast<size_t>(i)];
        item.isFolder = i % 10 == 0 ? 1 : 0;
        item.name = L"file-" + std::to_wstring((i * 7919) % count) + (i % 3 ? L".txt" : L".jpg");
        item.fileId = L"id" + std::to_wstring(i);
        item.size = int64_t(i) * 104729;
        item.modTime = L"2024-03-05 12:00:00";
    }
    return items;
}

void BM_AddRows(benchmark::State& state) {
    const std::vector<RemoteItem> items = Listing(int(state.range(0)));
    for (auto _ : state) {
        CExplorerModel model;
        model.AppendItems(items);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_AddRows)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
    CExplorerModel model;
    model.AppendItems(Listing(100000));
    int column = int(state.range(0));
    bool ascending = false;
    for (auto _ : state) {
        ascending = !ascending;
        model.Sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}
BENCHMARK(BM_SortByColumn)
    ->Arg(CExplorerModel::kColName)
    ->Arg(CExplorerModel::kColSize)
    ->Arg(CExplorerModel::kColType)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
