-- wrk script of bench/load: checks every response of the viewer.
--
--   wrk ... -s bench/load.lua URL -- [EXPECTED_ROWS]
--
-- Counts responses whose status is not 200, and pages that are incomplete:
-- a complete page contains the closing line <P class="About">...</p> and
-- ends with "</p>" CR LF. With EXPECTED_ROWS, a page must also hold exactly
-- that many table rows ("<TR", the title row included). done() prints the
-- figures and one line "load-result key=value ..." for bench/load to read.

local threads = {}

function setup(thread)
  table.insert(threads, thread)
end

function init(args)
  expected_rows = tonumber(args[1])
  responses = 0
  bad_status = 0
  incomplete = 0
  wrong_rows = 0
  first_bad = nil
end

local function note(what, status, body)
  if first_bad == nil then
    first_bad = string.format("%s (status %d, %d bytes): %s", what, status, #body,
                              string.sub(body, -160):gsub("[\r\n]+", " "))
  end
end

function response(status, headers, body)
  responses = responses + 1
  if status ~= 200 then
    bad_status = bad_status + 1
    note("status", status, body)
  end
  local complete = string.sub(body, -6) == "</p>\r\n"
      and string.find(body, '<P class="About">', 1, true) ~= nil
  if not complete then
    incomplete = incomplete + 1
    note("incomplete", status, body)
  elseif expected_rows ~= nil then
    local _, rows = string.gsub(body, "<TR", "")
    if rows ~= expected_rows then
      wrong_rows = wrong_rows + 1
      note(string.format("%d rows, expected %d", rows, expected_rows), status, body)
    end
  end
end

function done(summary, latency, requests)
  local checked, bad, inc, rows, example = 0, 0, 0, 0, nil
  for _, t in ipairs(threads) do
    checked = checked + t:get("responses")
    bad = bad + t:get("bad_status")
    inc = inc + t:get("incomplete")
    rows = rows + t:get("wrong_rows")
    example = example or t:get("first_bad")
  end
  local e = summary.errors
  local errors = e.connect + e.read + e.write + e.timeout
  local seconds = summary.duration / 1e6
  io.write(string.format("checked responses: %d, non-200: %d, incomplete pages: %d, "
                         .. "wrong row count: %d, socket errors: %d\n",
                         checked, bad, inc, rows, errors))
  if example ~= nil then
    io.write("first bad response: " .. example .. "\n")
  end
  io.write(string.format("load-result requests=%d seconds=%.2f rps=%.1f p50_ms=%.1f p90_ms=%.1f "
                         .. "p99_ms=%.1f max_ms=%.1f checked=%d non200=%d incomplete=%d "
                         .. "wrong_rows=%d errors=%d\n",
                         summary.requests, seconds, summary.requests / seconds,
                         latency:percentile(50) / 1000, latency:percentile(90) / 1000,
                         latency:percentile(99) / 1000, latency.max / 1000,
                         checked, bad, inc, rows, errors))
end
