#include "python/integer_arrays.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "python/errors.hpp"
#include "python/extract.hpp"

namespace tourwright::python {

namespace {

// Whether `value`'s type is numpy.ndarray itself. Without NumPy imported no
// such array can exist, so it is looked up in sys.modules, never imported
// (and without the import machinery, which keeps memory per lookup).
bool plain_ndarray(PyObject* value) {
  // Borrowed references from plain dictionaries, no attribute machinery.
  PyObject* const numpy = PyDict_GetItemString(PyImport_GetModuleDict(), "numpy");
  if (numpy == nullptr || !PyModule_Check(numpy)) return false;
  PyObject* const ndarray = PyDict_GetItemString(PyModule_GetDict(numpy), "ndarray");
  return ndarray != nullptr && reinterpret_cast<PyObject*>(Py_TYPE(value)) == ndarray;
}

// A buffer view, released with its owner.
class BufferView {
 public:
  BufferView() = default;
  BufferView(const BufferView&) = delete;
  BufferView& operator=(const BufferView&) = delete;
  ~BufferView() {
    if (held_) PyBuffer_Release(&view_);
  }

  // Strides and format, read-only; false (no error set) when not exported.
  bool take(PyObject* value) {
    if (PyObject_GetBuffer(value, &view_, PyBUF_RECORDS_RO) != 0) {
      PyErr_Clear();
      return false;
    }
    held_ = true;
    return true;
  }
  const Py_buffer& operator*() const { return view_; }

 private:
  Py_buffer view_{};
  bool held_ = false;
};

// Reads one native integer of the format's type; false for a negative one.
using ReadEntry = bool (*)(const char*, std::uint64_t&);

template <class Integer>
bool read_entry(const char* at, std::uint64_t& out) {
  Integer value;
  std::memcpy(&value, at, sizeof value);
  if constexpr (static_cast<Integer>(-1) < Integer{0}) {
    if (value < 0) return false;
  }
  out = static_cast<std::uint64_t>(value);
  return true;
}

// The reader of `Integer`, if that is the size of the buffer's items.
template <class Integer>
ReadEntry sized(const Py_buffer& view) {
  return static_cast<std::size_t>(view.itemsize) == sizeof(Integer) ? read_entry<Integer> : nullptr;
}

// The reader for a native-order integer format ("l", "@q", ...), if any.
ReadEntry reader_for(const Py_buffer& view) {
  std::string_view format = view.format != nullptr ? view.format : "B";
  if (!format.empty() && format.front() == '@') format.remove_prefix(1);
  if (format.size() != 1) return nullptr;
  switch (format.front()) {
    case 'b':
      return sized<signed char>(view);
    case 'B':
      return sized<unsigned char>(view);
    case 'h':
      return sized<short>(view);
    case 'H':
      return sized<unsigned short>(view);
    case 'i':
      return sized<int>(view);
    case 'I':
      return sized<unsigned int>(view);
    case 'l':
      return sized<long>(view);
    case 'L':
      return sized<unsigned long>(view);
    case 'q':
      return sized<long long>(view);
    case 'Q':
      return sized<unsigned long long>(view);
    default:
      return nullptr;
  }
}

// A list that grows in chunks joined once at the end. A broadcast array can
// claim 10^12 entries (or rows) in no memory at all, so nothing is reserved
// from its shape beyond one chunk; and growing one vector would copy (or
// move) all it holds at each reallocation, gigabytes at a time with no poll
// in between.
template <class T>
class ChunkedList {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 16;

  explicit ChunkedList(Py_ssize_t expected) {
    first_.reserve(std::min(static_cast<std::size_t>(expected), kChunk));
  }

  void add(T value) {
    std::vector<T>* filling = chunks_.empty() ? &first_ : &chunks_.back();
    if (filling->size() == kChunk) {
      filling = &chunks_.emplace_back();
      filling->reserve(kChunk);
    }
    filling->push_back(std::move(value));
  }

  // Hands every chunk, in order, to `take` (a vector it may consume), each
  // released before the next; polls for signals per chunk.
  template <class Take>
  void drain(Take take) {
    take(first_);
    std::vector<T>().swap(first_);
    for (std::vector<T>& chunk : chunks_) {
      check_status(PyErr_CheckSignals());
      take(chunk);
      std::vector<T>().swap(chunk);
    }
  }

  // Everything added, in order, polling for signals per chunk.
  std::vector<T> join(Py_ssize_t count) {
    if (chunks_.empty()) return std::move(first_);
    first_.reserve(static_cast<std::size_t>(count));
    for (std::vector<T>& chunk : chunks_) {
      first_.insert(first_.end(), std::make_move_iterator(chunk.begin()),
                    std::make_move_iterator(chunk.end()));
      std::vector<T>().swap(chunk);
      check_status(PyErr_CheckSignals());
    }
    return std::move(first_);
  }

 private:
  std::vector<T> first_;
  std::vector<std::vector<T>> chunks_;
};

// The entries of a 1-D array: `count` of them, `stride` apart, Ctrl-C
// looked for as often as on the generic path.
bool read_row(const char* at, Py_ssize_t count, Py_ssize_t stride, ReadEntry read,
              std::vector<std::uint64_t>& row) {
  ChunkedList<std::uint64_t> entries(count);
  for (Py_ssize_t k = 0; k < count; ++k) {
    std::uint64_t entry = 0;
    if (!read(at + k * stride, entry)) return false;
    entries.add(entry);
    if ((k + 1) % kItemsPerSignalPoll == 0) check_status(PyErr_CheckSignals());
  }
  row = entries.join(count);
  return true;
}

// The entry reader of `value` held in `view`, when it is a plain ndarray of
// `dims` dimensions and a native integer format; else nothing (view unheld).
ReadEntry integer_buffer(PyObject* value, int dims, BufferView& view) {
  if (!plain_ndarray(value) || !view.take(value) || (*view).ndim != dims) return nullptr;
  return reader_for(*view);
}

}  // namespace

std::optional<std::vector<std::uint64_t>> read_integer_vector(PyObject* value) {
  BufferView view;
  const ReadEntry read = integer_buffer(value, 1, view);
  if (read == nullptr) return std::nullopt;
  std::vector<std::uint64_t> items;
  if (!read_row(static_cast<const char*>((*view).buf), (*view).shape[0], (*view).strides[0], read,
                items))
    return std::nullopt;
  return items;
}

namespace {

// Every entry of a 2-D buffer, row after row, to `take`, polling for signals
// as often as the generic path; false at the first negative entry.
template <class Take>
bool read_entries(const Py_buffer& buffer, ReadEntry read, Take take) {
  const char* start = static_cast<const char*>(buffer.buf);
  std::size_t count = 0;
  for (Py_ssize_t r = 0; r < buffer.shape[0]; ++r) {
    const char* row = start + r * buffer.strides[0];
    for (Py_ssize_t c = 0; c < buffer.shape[1]; ++c) {
      std::uint64_t entry = 0;
      if (!read(row + c * buffer.strides[1], entry)) return false;
      take(entry);
      if (++count % kItemsPerSignalPoll == 0) check_status(PyErr_CheckSignals());
    }
    if (buffer.shape[1] == 0 && (r + 1) % static_cast<Py_ssize_t>(kItemsPerSignalPoll) == 0)
      check_status(PyErr_CheckSignals());  // rows of nothing
  }
  return true;
}

}  // namespace

std::optional<PackedMatrix> read_packed_matrix(PyObject* value) {
  BufferView view;
  const ReadEntry read = integer_buffer(value, 2, view);
  if (read == nullptr) return std::nullopt;
  const Py_buffer& buffer = *view;
  const Py_ssize_t n = buffer.shape[0];
  if (buffer.itemsize > 4 || n == 0 || buffer.shape[1] != n) return std::nullopt;
  const auto cells = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
  // An array that holds its entries has them in memory already, so the table
  // is reserved at once; a broadcast one (a stride of 0) may claim far more
  // than memory, so its table grows in chunks instead.
  const bool holds_entries = buffer.strides[0] != 0 && buffer.strides[1] != 0;
  std::vector<std::uint32_t> entries;
  ChunkedList<std::uint32_t> chunked(holds_entries ? 0 : n * n);
  if (holds_entries) entries.reserve(cells);
  // Items of at most 4 bytes, not negative: every entry fits 32 bits.
  const bool read_all = read_entries(buffer, read, [&](std::uint64_t entry) {
    if (holds_entries) {
      entries.push_back(static_cast<std::uint32_t>(entry));
    } else {
      chunked.add(static_cast<std::uint32_t>(entry));
    }
  });
  if (!read_all) return std::nullopt;
  if (!holds_entries) entries = chunked.join(n * n);
  return PackedMatrix{static_cast<std::size_t>(n),
                      std::make_shared<const std::vector<std::uint32_t>>(std::move(entries))};
}

std::optional<std::vector<std::vector<std::uint64_t>>> read_integer_matrix(PyObject* value) {
  BufferView view;
  const ReadEntry read = integer_buffer(value, 2, view);
  if (read == nullptr) return std::nullopt;
  const Py_buffer& buffer = *view;
  const Py_ssize_t rows = buffer.shape[0];
  const Py_ssize_t columns = buffer.shape[1];
  // Every entry first, into one chunked list, and the rows only at the end:
  // a vector per row as it is read would cost a heap block per row, and a
  // broadcast array of 10^12 short rows, stopped by Ctrl-C, would then free
  // them one by one before the exception could leave.
  ChunkedList<std::uint64_t> entries(rows * columns);
  if (!read_entries(buffer, read, [&](std::uint64_t entry) { entries.add(entry); }))
    return std::nullopt;
  std::vector<std::vector<std::uint64_t>> matrix(static_cast<std::size_t>(rows));
  const auto width = static_cast<std::size_t>(columns);
  std::size_t filled = 0;  // rows complete
  entries.drain([&](const std::vector<std::uint64_t>& chunk) {
    for (auto at = chunk.begin(); at != chunk.end();) {
      std::vector<std::uint64_t>& row = matrix[filled];
      if (row.empty()) row.reserve(width);
      const auto take =
          std::min<std::size_t>(width - row.size(), static_cast<std::size_t>(chunk.end() - at));
      row.insert(row.end(), at, at + static_cast<std::ptrdiff_t>(take));
      at += static_cast<std::ptrdiff_t>(take);
      if (row.size() == width) ++filled;
    }
  });
  return matrix;
}

}  // namespace tourwright::python
