;; Benchmark module: a CPU- and memory-bound loop with no imports, so that
;; its time depends only on the engine's WebAssembly tiers and on the memory
;; settings of the view that runs it (bounds checks, shared memory switched
;; on or not), never on how the file was delivered.
(module
  (memory (export "memory") 16)

  ;; Runs `n` rounds of an xorshift generator; each round adds the value to a
  ;; slot of a 1 MiB table and mixes a floating-point term into the result,
  ;; so integer, float and memory paths all count. Returns a checksum so the
  ;; work cannot be optimised away.
  (func (export "run") (param $n i32) (result i32)
    (local $x i32) (local $i i32) (local $addr i32) (local $acc f64)
    (local.set $x (i32.const 2463534242))
    (block $done
      (loop $again
        (br_if $done (i32.ge_u (local.get $i) (local.get $n)))
        (local.set $x (i32.xor (local.get $x) (i32.shl (local.get $x) (i32.const 13))))
        (local.set $x (i32.xor (local.get $x) (i32.shr_u (local.get $x) (i32.const 17))))
        (local.set $x (i32.xor (local.get $x) (i32.shl (local.get $x) (i32.const 5))))
        (local.set $addr (i32.and (local.get $x) (i32.const 0xFFFFC)))
        (i32.store (local.get $addr)
          (i32.add (i32.load (local.get $addr)) (local.get $x)))
        (local.set $acc
          (f64.add (f64.mul (local.get $acc) (f64.const 0.999999))
                   (f64.convert_i32_u (i32.shr_u (local.get $x) (i32.const 8)))))
        (local.set $i (i32.add (local.get $i) (i32.const 1)))
        (br $again)))
    (i32.xor (local.get $x) (i32.trunc_sat_f64_u (local.get $acc)))))
