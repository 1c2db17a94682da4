;; A small self-contained module for the demo page's WebAssembly check.
;; It has a private (unshared) memory holding a greeting, so that the page can
;; see both exported functions and exported memory working, with no need for
;; shared memory, which a separate check covers.
(module
  (memory (export "memory") 1)

  ;; The greeting lives at a fixed offset; the page reads it back through the
  ;; exported memory to show that data segments were applied.
  (data (i32.const 16) "Hello from WebAssembly")

  (func (export "greetingPtr") (result i32)
    i32.const 16)

  (func (export "greetingLen") (result i32)
    i32.const 22)

  ;; Euclid's algorithm, written as a loop so the module exercises real
  ;; control flow rather than a single instruction.
  (func (export "gcd") (param $a i32) (param $b i32) (result i32)
    (local $t i32)
    (block $done
      (loop $again
        (br_if $done (i32.eqz (local.get $b)))
        (local.set $t (i32.rem_u (local.get $a) (local.get $b)))
        (local.set $a (local.get $b))
        (local.set $b (local.get $t))
        (br $again)))
    (local.get $a))

  ;; The n-th Fibonacci number in 64-bit arithmetic; the page receives it as a
  ;; BigInt, which checks the engine's i64 integration as well.
  (func (export "fib") (param $n i32) (result i64)
    (local $a i64)
    (local $b i64)
    (local $t i64)
    (local.set $b (i64.const 1))
    (block $done
      (loop $again
        (br_if $done (i32.eqz (local.get $n)))
        (local.set $t (i64.add (local.get $a) (local.get $b)))
        (local.set $a (local.get $b))
        (local.set $b (local.get $t))
        (local.set $n (i32.sub (local.get $n) (i32.const 1)))
        (br $again)))
    (local.get $a))
)
