#include "render/pictures_ahead.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace {

struct Ahead {
  std::vector<PictureRequest> requests;
  std::vector<GamePicture> ready;  // filled in order by the thread
  size_t taken = 0;
  std::mutex lock;
  std::condition_variable arrived;
  std::atomic<bool> stopping{false};
  std::thread worker;
};

Ahead* ahead = nullptr;

bool sameRequest(const PictureRequest& a, const PictureRequest& b) {
  return std::strcmp(a.path, b.path) == 0 && a.maxPixels == b.maxPixels && a.mipmapped == b.mipmapped;
}

void prepareAll(Ahead& work) {
  for (const PictureRequest& request : work.requests) {
    if (work.stopping) return;
    GamePicture picture = prepareGamePicture(request);
    std::lock_guard<std::mutex> guard(work.lock);
    work.ready.push_back(std::move(picture));
    work.arrived.notify_one();
  }
}

}  // namespace

void preparePicturesAhead(std::vector<PictureRequest> requests) {
  stopPreparingAhead();
  ahead = new Ahead();
  ahead->requests = std::move(requests);
  ahead->ready.reserve(ahead->requests.size());
  ahead->worker = std::thread(prepareAll, std::ref(*ahead));
}

GamePicture takeGamePicture(const PictureRequest& request) {
  if (ahead == nullptr || ahead->taken >= ahead->requests.size() ||
      !sameRequest(ahead->requests[ahead->taken], request)) {
    return prepareGamePicture(request);
  }
  std::unique_lock<std::mutex> guard(ahead->lock);
  ahead->arrived.wait(guard, [] { return ahead->ready.size() > ahead->taken; });
  return std::move(ahead->ready[ahead->taken++]);
}

void stopPreparingAhead() {
  if (ahead == nullptr) return;
  ahead->stopping = true;
  ahead->worker.join();
  delete ahead;
  ahead = nullptr;
}
