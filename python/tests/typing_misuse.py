# Each line is a mistake mypy must catch (the test counts the errors).
import norvathel

norvathel.names("10")
norvathel.names(10, seed=1.5)
norvathel.names(10, max_length="8")
norvathel.name_for(42)
wrong: int = norvathel.names(3)
norvathel.Style.builtin(3)
