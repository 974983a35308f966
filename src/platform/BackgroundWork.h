#pragma once
// Work that must not hold up the event loop (copies to and from a slow drive, reading a large
// file). The task runs off the loop thread and must touch nothing the loop owns: it takes
// copies of what it needs and returns a value; the completion gets that value on the loop
// thread, where the station's state may be changed again.
//
// A task may call the FileSystem of the platform: the host one keeps no state between calls
// and may be called from any thread. A task must not write a file the loop uses meanwhile; it
// may read one the loop appends to (a log), and then sees it as it was at some moment, its
// last line possibly cut short.
// A task may also post to the EventLoop (to show progress); those posts run before its
// completion.

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace quillmar {

class BackgroundWork {
  public:
    virtual ~BackgroundWork() = default;
    // Runs task off the loop thread, then posts completion to the loop thread.
    virtual void run(std::function<void()> task, std::function<void()> completion) = 0;
};

// Runs task off the loop thread and hands what it returns to completion on the loop thread.
template <typename Task, typename Completion>
void RunInBackground(BackgroundWork& work, Task task, Completion completion) {
    using Result = std::invoke_result_t<Task&>;
    auto result = std::make_shared<std::optional<Result>>();
    work.run([result, task = std::move(task)]() mutable { result->emplace(task()); },
             [result, completion = std::move(completion)]() mutable {
                 completion(std::move(**result));
             });
}

// Drops the completions of an owner that has gone (a closed window): the owner wraps each
// completion with its guard, and a wrapped completion that arrives after drop() or after the
// guard's end does nothing. Loop thread only.
class CompletionGuard {
  public:
    template <typename F>
    auto wrap(F f) const {
        return [alive = std::weak_ptr<char>(alive_), f = std::move(f)](auto&&... args) mutable {
            if (alive.lock()) f(std::forward<decltype(args)>(args)...);
        };
    }
    // Completions wrapped before now will not be called; later ones will.
    void drop() { alive_ = std::make_shared<char>(); }

  private:
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace quillmar
