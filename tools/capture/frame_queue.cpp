// The bounded queue of frames between the drawing thread and the video writer.
#include "tools/capture/video.h"

FrameQueue::FrameQueue(int capacity, std::size_t frameBytes) : capacity(capacity), frameBytes(frameBytes) {}

bool FrameQueue::Acquire(std::vector<uint8_t>* buffer) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return closed || !spare.empty() || buffersOut < capacity; });
    if (closed) return false;
    if (!spare.empty()) {
        *buffer = std::move(spare.front());
        spare.pop_front();
    } else {
        buffer->assign(frameBytes, 0);
    }
    ++buffersOut;
    return true;
}

void FrameQueue::Push(std::vector<uint8_t>&& buffer) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        queued.push_back(std::move(buffer));
    }
    changed.notify_all();
}

bool FrameQueue::Pop(std::vector<uint8_t>* buffer) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return failed || closed || !queued.empty(); });
    if (failed || queued.empty()) return false;
    *buffer = std::move(queued.front());
    queued.pop_front();
    return true;
}

void FrameQueue::Release(std::vector<uint8_t>&& buffer) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        spare.push_back(std::move(buffer));
        --buffersOut;
    }
    changed.notify_all();
}

void FrameQueue::Close(bool failedNow) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        closed = true;
        failed = failed || failedNow;
    }
    changed.notify_all();
}

bool FrameQueue::Failed() const {
    std::lock_guard<std::mutex> lock(mutex);
    return failed;
}
