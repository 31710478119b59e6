// Many independent computations on all cores, their results handed on in
// order: for batches whose output must not depend on which thread finished
// first (files written in time order, maps summed in time order).
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// The threads a batch uses by default: every core the system reports (1 if
// it reports none).
inline unsigned defaultThreadCount() { return std::max(1u, std::thread::hardware_concurrency()); }

// Runs compute(i) for i = 0 .. count - 1 on `threads` threads and hands each
// result to consume(i, result) on the calling thread, strictly in the order
// of i, each as soon as it and every one before it are done. At most
// 2 * threads results are computed ahead of the last one consumed, so memory
// stays bounded however many there are.
//
// consume returning false stops the batch: no compute starts after it, the
// ones running are waited for and their results dropped, and false is
// returned. An exception thrown by compute stops the batch the same way and
// is rethrown here (the first one, after every thread has ended); so is one
// thrown by consume. Returns true when every result was consumed.
//
// compute runs concurrently with itself and must be reentrant; consume never
// runs concurrently with anything it shares with the caller.
template <class Result, class Compute, class Consume>
bool computeInOrder(size_t count, unsigned threads, Compute compute, Consume consume) {
  threads = std::max(1u, threads);
  if (threads > count) threads = unsigned(std::max<size_t>(1, count));
  const size_t ahead = 2 * size_t(threads);

  std::mutex mutex;
  std::condition_variable changed;
  std::map<size_t, Result> ready;  // computed, not yet consumed
  size_t nextToCompute = 0, nextToConsume = 0;
  bool stopping = false;
  std::exception_ptr failure;

  auto work = [&] {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stopping || nextToCompute >= count || nextToCompute < nextToConsume + ahead; });
      if (stopping || nextToCompute >= count) return;
      const size_t i = nextToCompute++;
      lock.unlock();
      try {
        Result result = compute(i);
        lock.lock();
        ready.emplace(i, std::move(result));
      } catch (...) {
        lock.lock();
        if (!failure) failure = std::current_exception();
        stopping = true;
      }
      changed.notify_all();
    }
  };

  std::vector<std::thread> workers;
  try {
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
  } catch (...) {  // a thread could not be started: stop the others first
    {
      std::lock_guard<std::mutex> lock(mutex);
      stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) worker.join();
    throw;
  }

  bool completed = true;
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (nextToConsume < count) {
      changed.wait(lock, [&] { return stopping || ready.count(nextToConsume) != 0; });
      if (stopping) break;
      auto found = ready.find(nextToConsume);
      Result result = std::move(found->second);
      ready.erase(found);
      lock.unlock();
      bool keepGoing = false;
      try {
        keepGoing = consume(nextToConsume, result);
      } catch (...) {
        lock.lock();
        if (!failure) failure = std::current_exception();
        stopping = true;
        break;
      }
      lock.lock();
      ++nextToConsume;
      if (!keepGoing) {
        completed = false;
        break;
      }
      changed.notify_all();
    }
    if (nextToConsume < count) completed = false;
    stopping = true;  // also for the workers waiting to compute ahead
  }
  changed.notify_all();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
  return completed;
}
