;; The module that every worker of the demo's thread check instantiates.
;; It owns no memory: it imports the one shared memory that the page created
;; and posted to each worker, so all instances update the same words.
(module
  (import "env" "memory" (memory 1 1 shared))

  ;; Adds delta to the 32-bit word at addr, count times. Each addition is an
  ;; atomic read-modify-write, so several workers adding at the same moment
  ;; lose nothing and the page can check the exact total.
  (func (export "addMany") (param $addr i32) (param $count i32) (param $delta i32)
    (block $done
      (loop $again
        (br_if $done (i32.eqz (local.get $count)))
        (drop (i32.atomic.rmw.add (local.get $addr) (local.get $delta)))
        (local.set $count (i32.sub (local.get $count) (i32.const 1)))
        (br $again))))

  ;; Records that one worker has finished by incrementing the word at addr,
  ;; then wakes anyone waiting on that word. Returns how many were woken.
  (func (export "arrive") (param $addr i32) (result i32)
    (drop (i32.atomic.rmw.add (local.get $addr) (i32.const 1)))
    (memory.atomic.notify (local.get $addr) (i32.const 1)))
)
