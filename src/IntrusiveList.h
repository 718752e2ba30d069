// A doubly linked list through links embedded in its records (mpNext, mpPrev):
// pending notes and spare records move between lists without allocating.
#pragma once

template <typename T>
class IntrusiveList {
public:
    T* Head() const { return mpHead; }
    T* Tail() const { return mpTail; }
    bool IsEmpty() const { return mpHead == nullptr; }

    void PushBack(T* item) {
        item->mpNext = nullptr;
        item->mpPrev = mpTail;
        if (mpTail)
            mpTail->mpNext = item;
        else
            mpHead = item;
        mpTail = item;
    }
    // Links item in front of `before`, which must be in this list.
    void InsertBefore(T* before, T* item) {
        item->mpNext = before;
        item->mpPrev = before->mpPrev;
        if (before->mpPrev)
            before->mpPrev->mpNext = item;
        else
            mpHead = item;
        before->mpPrev = item;
    }
    void Unlink(T* item) {
        if (item->mpPrev)
            item->mpPrev->mpNext = item->mpNext;
        else
            mpHead = item->mpNext;
        if (item->mpNext)
            item->mpNext->mpPrev = item->mpPrev;
        else
            mpTail = item->mpPrev;
        item->mpNext = item->mpPrev = nullptr;
    }
    T* PopFront() {
        T* item = mpHead;
        if (item) Unlink(item);
        return item;
    }

private:
    T* mpHead = nullptr;
    T* mpTail = nullptr;
};
