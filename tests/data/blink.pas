program Blink;
begin
  while True do P1 := not P1;
end.
