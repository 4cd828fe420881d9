#include "platform/win/faulty_file_system.h"

namespace win {

namespace {

class FaultyFile final : public WritableFile {
public:
    FaultyFile(FaultyFileSystem& fs, std::unique_ptr<WritableFile> base) : fs_(fs), base_(std::move(base)) {}
    int Append(std::string_view bytes) override {
        if (const int e = fs_.Step()) return e;
        return base_->Append(bytes);
    }
    int StartFlush() override {
        if (const int e = fs_.Step()) return e;
        return base_->StartFlush();
    }
    int Flush() override {
        if (const int e = fs_.Step()) return e;
        return base_->Flush();
    }
    int TakeOver(const FileFacts& facts) override { return base_->TakeOver(facts); }
    int Truncate() override {
        if (const int e = fs_.Step()) return e;
        return base_->Truncate();
    }
    int Reserve(std::size_t size) override {
        if (const int e = fs_.Step()) return e;
        return base_->Reserve(size);
    }
    int Lock(int& handle) override {
        if (const int e = fs_.LockError()) {
            handle = -1;
            return e;
        }
        return base_->Lock(handle);
    }
    int Close() override { return base_->Close(); }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<WritableFile> base_;
};

}  // namespace

int FaultyFileSystem::Create(const std::string& path, std::unique_ptr<WritableFile>& file) {
    if (const int e = Step()) return e;
    std::unique_ptr<WritableFile> base;
    if (const int e = base_.Create(path, base)) return e;
    file = std::make_unique<FaultyFile>(*this, std::move(base));
    return 0;
}

int FaultyFileSystem::OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) {
    if (const int e = Step()) return e;
    std::unique_ptr<WritableFile> base;
    if (const int e = base_.OpenExisting(path, base)) return e;
    file = std::make_unique<FaultyFile>(*this, std::move(base));
    return 0;
}

}  // namespace win
