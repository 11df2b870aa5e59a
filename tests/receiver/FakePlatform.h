// A platform whose interfaces the test describes: IDs, and which steps fail.
// Devices are silent; each can vanish at a given time, and the log counts
// opens and closes per path.
#pragma once

#include "Platform.h"

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace penlynx::test {

struct FakeInterface {
    std::string path;
    uint16_t vendorId = kReceiverVendorId;
    uint16_t productId = kReceiverProductId;
    bool obtainable = true; // asking for the interface succeeds
    bool pathReadable = true;
    bool opens = true;
    bool attributes = true;
    Micros goneAt = Micros::max(); // unplugged from then on
    Micros backAt = Micros::max(); // plugged in again (a device opened before stays gone)
    bool readsFail = false;        // reads end at once without report
    std::string openError = {};    // what the platform says when it does not open
};

struct FakeLog {
    std::mutex mutex;
    std::map<std::string, int> opens, closes;
    int lists = 0, listsReleased = 0, reads = 0;
    bool platformDestroyed = false;
    int Reads() {
        std::lock_guard lock(mutex);
        return reads;
    }
    bool PlatformDestroyed() {
        std::lock_guard lock(mutex);
        return platformDestroyed;
    }
    int Opens(const std::string &path) {
        std::lock_guard lock(mutex);
        return opens[path];
    }
    int Closes(const std::string &path) {
        std::lock_guard lock(mutex);
        return closes[path];
    }
};

class FakePlatform final : public Platform {
public:
    FakePlatform(std::vector<FakeInterface> interfaces, Clock &clock,
                 std::shared_ptr<FakeLog> log = std::make_shared<FakeLog>())
        : interfaces_(std::move(interfaces)), clock_(clock), log_(std::move(log)) {}

    ~FakePlatform() override {
        std::lock_guard lock(log_->mutex);
        log_->platformDestroyed = true;
    }

    bool listFails = false;
    // Ask for every index past the last fails instead of ending the list.
    bool neverEnds = false;

    std::unique_ptr<InterfaceList> Interfaces() override {
        if (listFails) {
            return nullptr;
        }
        {
            std::lock_guard lock(log_->mutex);
            ++log_->lists;
        }
        std::vector<const FakeInterface *> present;
        for (const FakeInterface &item : interfaces_) {
            if (Plugged(item, clock_.Now())) {
                present.push_back(&item);
            }
        }
        return std::make_unique<List>(std::move(present), neverEnds, log_);
    }

    std::unique_ptr<HidDevice> Open(const std::string &path) override {
        openError_.clear();
        for (FakeInterface &item : interfaces_) {
            if (item.path != path) {
                continue;
            }
            if (item.opens && Plugged(item, clock_.Now())) {
                std::lock_guard lock(log_->mutex);
                ++log_->opens[path];
                return std::make_unique<Device>(item, clock_, log_);
            }
            openError_ = item.openError;
        }
        return nullptr;
    }
    std::string OpenError() const override { return openError_; }

    // The interface at path, to change between searches.
    FakeInterface &Interface(const std::string &path) {
        for (FakeInterface &item : interfaces_) {
            if (item.path == path) {
                return item;
            }
        }
        throw std::out_of_range(path);
    }

    std::shared_ptr<FakeLog> log() const { return log_; }

private:
    static bool Plugged(const FakeInterface &item, Micros now) {
        return now < item.goneAt || now >= item.backAt;
    }

    class List final : public InterfaceList {
    public:
        List(std::vector<const FakeInterface *> items, bool neverEnds, std::shared_ptr<FakeLog> log)
            : items_(std::move(items)), neverEnds_(neverEnds), log_(std::move(log)) {}
        ~List() override {
            std::lock_guard lock(log_->mutex);
            ++log_->listsReleased;
        }
        InterfaceStep Get(size_t index) override {
            if (index >= items_.size()) {
                return neverEnds_ ? InterfaceStep::Failed : InterfaceStep::End;
            }
            return items_[index]->obtainable ? InterfaceStep::Present : InterfaceStep::Failed;
        }
        bool Path(size_t index, std::string &path) override {
            path = items_[index]->path;
            return items_[index]->pathReadable;
        }
        bool ListedIds(size_t index, uint16_t &vendorId, uint16_t &productId) override {
            vendorId = items_[index]->vendorId;
            productId = items_[index]->productId;
            return true;
        }

    private:
        std::vector<const FakeInterface *> items_;
        bool neverEnds_;
        std::shared_ptr<FakeLog> log_;
    };

    class Device final : public HidDevice {
    public:
        Device(const FakeInterface &item, Clock &clock, std::shared_ptr<FakeLog> log)
            : item_(item), clock_(clock), log_(std::move(log)), openedAt_(clock.Now()) {}
        ~Device() override {
            std::lock_guard lock(log_->mutex);
            ++log_->closes[item_.path];
        }
        bool Attributes(uint16_t &vendorId, uint16_t &productId) override {
            vendorId = item_.vendorId;
            productId = item_.productId;
            return item_.attributes;
        }
        size_t InputReportLength() override { return 64; }
        void BeginRead(uint8_t *, size_t) override {
            std::lock_guard lock(log_->mutex);
            ++log_->reads;
        }
        ReadOutcome WaitRead(Micros timeout, size_t &) override {
            if (item_.readsFail) {
                return ReadOutcome::Failed;
            }
            clock_.SleepUntil(clock_.Now() + timeout);
            return ReadOutcome::TimedOut;
        }
        void CancelRead() override {}
        bool Present() override {
            return openedAt_ < item_.goneAt ? clock_.Now() < item_.goneAt : true;
        }

    private:
        const FakeInterface &item_;
        Clock &clock_;
        std::shared_ptr<FakeLog> log_;
        Micros openedAt_;
    };

    std::vector<FakeInterface> interfaces_;
    Clock &clock_;
    std::shared_ptr<FakeLog> log_;
    std::string openError_;
};

} // namespace penlynx::test
